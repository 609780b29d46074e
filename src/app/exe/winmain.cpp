#include <windows.h>

#include "app/spotlex_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return spotlex::Main(GetCommandLineA());
}
