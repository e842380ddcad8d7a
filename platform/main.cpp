// The process entry: hands over to the program's WinMain with the platform's
// arguments, and returns its result as the exit code.

#include <string>

#include "platform/window_system.h"

int main(int argc, char** argv) {
    // The platform passes the arguments after the program name as one line.
    std::string commandLine;
    for (int i = 1; i < argc; i++) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
