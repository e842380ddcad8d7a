#pragma once
// Internal to the window system: shows presented back buffers in an SDL
// window through a streaming texture, scaled into the window with the
// picture's aspect kept, and maps mouse positions back to picture pixels.

#include <SDL.h>

#include <string>

#include "platform/picture_fit.h"
#include "platform/presenter.h"

class SdlPresenter : public Presenter {
  public:
    explicit SdlPresenter(SDL_Window* window);
    ~SdlPresenter() override;
    SdlPresenter(const SdlPresenter&) = delete;
    SdlPresenter& operator=(const SdlPresenter&) = delete;

    // Makes the renderer; false with the reason when SDL cannot.
    bool Start(std::string* error);
    // Fills the window with black until a picture comes.
    void ShowBlank();
    void SetVSync(bool vsync);

    void Show(const void* pixels, UINT width, UINT height, UINT pitch) override;

    // The picture pixel under a window position; false off the picture. Before
    // the first picture the window's own size is taken as the picture's.
    bool MapMouse(int windowX, int windowY, POINT* picture) const;

  private:
    bool MakeTexture(int width, int height);
    PictureFit CurrentFit() const;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
};
