// Entry point of Uninstall.exe. The start-up sequence and the main window come with the
// application shell; until then the program starts and ends at once.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command_line*/, int /*show*/) {
    return 0;
}
