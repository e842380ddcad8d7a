#include "platform/sdl_presenter.h"

#include <climits>

// Larger pictures than this are refused rather than handed to the renderer.
static constexpr UINT MAX_PICTURE_SIDE = 16384;

SdlPresenter::SdlPresenter(SDL_Window* sdlWindow) : window(sdlWindow) {}

SdlPresenter::~SdlPresenter() {
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
    }
    if (renderer != nullptr) {
        SDL_DestroyRenderer(renderer);
    }
}

bool SdlPresenter::Start(std::string* error) {
    // A scaled full-screen picture reads better filtered than with doubled pixels.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (renderer == nullptr) {
        if (error != nullptr) {
            *error = std::string("cannot draw into the window: ") + SDL_GetError();
        }
        return false;
    }
    return true;
}

void SdlPresenter::ShowBlank() {
    if (renderer == nullptr || texture != nullptr) {
        return;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
}

void SdlPresenter::SetVSync(bool vsync) {
    if (renderer != nullptr) {
        SDL_RenderSetVSync(renderer, vsync ? 1 : 0);
    }
}

bool SdlPresenter::MakeTexture(int width, int height) {
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
    }
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    textureWidth = texture != nullptr ? width : 0;
    textureHeight = texture != nullptr ? height : 0;
    return texture != nullptr;
}

void SdlPresenter::Show(const void* pixels, UINT width, UINT height, UINT pitch) {
    if (renderer == nullptr || pixels == nullptr || width == 0 || height == 0 ||
        width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE || pitch < width * 4 ||
        pitch > INT_MAX) {
        return;
    }
    int w = static_cast<int>(width);
    int h = static_cast<int>(height);
    if ((texture == nullptr || w != textureWidth || h != textureHeight) && !MakeTexture(w, h)) {
        return;
    }
    // A renderer that lost its textures (a reset display device) fails the
    // upload; a new texture brings the picture back on this same frame.
    if (SDL_UpdateTexture(texture, nullptr, pixels, static_cast<int>(pitch)) != 0 &&
        (!MakeTexture(w, h) ||
         SDL_UpdateTexture(texture, nullptr, pixels, static_cast<int>(pitch)) != 0)) {
        return;
    }
    // Every frame redraws the whole window, bars included, so a window that
    // was covered, minimised or left shows the picture again by itself.
    PictureFit fit = CurrentFit();
    SDL_Rect place{fit.place.left, fit.place.top, fit.place.right - fit.place.left,
                   fit.place.bottom - fit.place.top};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, &place);
    SDL_RenderPresent(renderer);
}

PictureFit SdlPresenter::CurrentFit() const {
    int outputWidth = 0;
    int outputHeight = 0;
    if (renderer == nullptr ||
        SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) {
        return PictureFit{};
    }
    int pictureWidth = textureWidth;
    int pictureHeight = textureHeight;
    if (texture == nullptr) {
        SDL_GetWindowSize(window, &pictureWidth, &pictureHeight);
    }
    return FitPicture(pictureWidth, pictureHeight, outputWidth, outputHeight);
}

bool SdlPresenter::MapMouse(int windowX, int windowY, POINT* picture) const {
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    return MapToPicture(CurrentFit(), windowWidth, windowHeight, windowX, windowY, picture);
}
