// Headless mode: virtual windows with no video at all, for tests and the
// command-line tool, and the scripted queue that stands in for the desktop's
// input there.

#include "platform/window_registry.h"

static bool Headless = false;

bool IsHeadless() {
    return Headless;
}

bool SetHeadlessMode(bool headless) {
    // A window made one way cannot turn into the other.
    if (FirstWindow() != nullptr) {
        return false;
    }
    Headless = headless;
    return true;
}

std::deque<ScriptedMessage>& ScriptedQueue() {
    static std::deque<ScriptedMessage> queue;
    return queue;
}

void PushScriptedMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    ScriptedQueue().push_back(ScriptedMessage{message, wParam, lParam});
}

size_t PendingScriptedMessages() {
    return ScriptedQueue().size();
}
