#include "platform/presenter.h"

#include <SDL.h>

#include <map>

static std::map<HWND, Presenter*>& Presenters() {
    static std::map<HWND, Presenter*> presenters;
    return presenters;
}

void SetWindowPresenter(HWND window, Presenter* presenter) {
    if (presenter == nullptr) {
        Presenters().erase(window);
    } else {
        Presenters()[window] = presenter;
    }
}

static Presenter* FallbackPresenter = nullptr;

Presenter* GetWindowPresenter(HWND window) {
    auto found = Presenters().find(window);
    return found == Presenters().end() ? FallbackPresenter : found->second;
}

void SetFallbackPresenter(Presenter* presenter) { FallbackPresenter = presenter; }

void GetDesktopMode(UINT* width, UINT* height, UINT* refreshRate) {
    UINT w = 800;
    UINT h = 600;
    UINT rate = 60;
    SDL_DisplayMode mode{};
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        w = static_cast<UINT>(mode.w);
        h = static_cast<UINT>(mode.h);
        if (mode.refresh_rate > 0) {
            rate = static_cast<UINT>(mode.refresh_rate);
        }
    }
    if (width != nullptr) {
        *width = w;
    }
    if (height != nullptr) {
        *height = h;
    }
    if (refreshRate != nullptr) {
        *refreshRate = rate;
    }
}
