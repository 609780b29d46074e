// SpotlexClock hide|show|status: lets a script, a slide-show macro or a hot-key tool hide and show
// the break clock of the running Spotlex. Exit code 0 when a clock answered, 1 when none is
// running (or it did not answer), 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <string>

#include "clock/clock_logic.h"
#include "clock/clock_window_win.h"

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

}  // namespace

int main(int argc, char** argv) {
    using namespace spotlex;
    const auto request = argc == 2 ? ParseClockCommand(argv[1]) : std::nullopt;
    if (!request) {
        std::puts("usage: SpotlexClock hide|show|status");
        return 2;
    }
    HWND clock = FindPublishedClock();
    if (!clock) {
        std::puts("No break clock is running.");
        return 1;
    }
    // "status" is a request the clock answers without acting on it.
    const std::string bytes = ClockRequestBytes(argv[1]);
    COPYDATASTRUCT block{0, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(clock, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             kAnswerTimeoutMs, &answer) ||
        static_cast<LRESULT>(answer) != -1) {
        std::puts("The break clock did not answer.");
        return 1;
    }
    switch (*request) {
        case ClockRequest::Hide: std::puts("The break clock is hidden."); break;
        case ClockRequest::Show: std::puts("The break clock is shown."); break;
        case ClockRequest::Status:
            std::puts(IsWindowVisible(clock) ? "The break clock is running, shown." : "The break clock is running, hidden.");
            break;
    }
    return 0;
}
