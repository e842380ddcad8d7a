#pragma once
// Where a presented back buffer goes. The device's Present hands its back
// buffer to the presenter registered for the device window; a window with no
// presenter (headless runs, tests) shows nothing.

#include "platform/win_types.h"

class Presenter {
  public:
    virtual ~Presenter() = default;
    // pixels: height rows of width pixels in X8R8G8B8 (0x00RRGGBB, little
    // endian), each row pitch bytes after the one before.
    virtual void Show(const void* pixels, UINT width, UINT height, UINT pitch) = 0;
};

// The window system registers the presenter of a window when it opens it and
// removes it (nullptr) when it closes it. The registry does not own presenters.
void SetWindowPresenter(HWND window, Presenter* presenter);
// The presenter of a window: its own, else the fallback, else null.
Presenter* GetWindowPresenter(HWND window);
// A presenter for every window without one of its own: a headless run that
// wants to see its frames (brassel-cli snap, tests) sets it. Null removes it.
void SetFallbackPresenter(Presenter* presenter);

// The desktop's current size and refresh rate: the SDL desktop mode once the
// window system has started video, else 800 x 600 at 60 Hz (headless).
void GetDesktopMode(UINT* width, UINT* height, UINT* refreshRate);
