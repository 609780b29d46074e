#include "app/spotlex_main_win.h"

#include <windows.h>

namespace spotlex {

int Main(const char* /*commandLine*/) {
    return 0;
}

}  // namespace spotlex
