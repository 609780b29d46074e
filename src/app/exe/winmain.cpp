#include <windows.h>

#include "app/spotlex_main_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return spotlex::Main(GetCommandLineA());
}
