// SpotlexClock hide|show|status: lets a script, a slide-show macro or a hot-key tool hide and show
// the break clock of the running Spotlex. Exit code 0 when a clock acted on the request, 1 when
// none is running (or it did not act), 2 on bad arguments. A Windows program, so that no console
// window flashes up in front of the audience; its one line goes to the console it was started
// from, or wherever its output is redirected.
#include <windows.h>

#include <cstdio>
#include <string>

#include "clock/clock_logic.h"
#include "clock/clock_window_win.h"

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

void AttachOutput() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE) return;
    // Without redirected output, a console the program was started from takes its line.
    if (AttachConsole(ATTACH_PARENT_PROCESS) && !std::freopen("CONOUT$", "w", stdout)) FreeConsole();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace spotlex;
    AttachOutput();
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
    // "status" is a request the clock answers without acting on it; "hide" and "show" count only
    // when the clock carried them out.
    const std::string bytes = ClockRequestBytes(argv[1]);
    COPYDATASTRUCT block{0, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(clock, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerTimeoutMs, &answer)) {
        std::puts("The break clock did not answer.");
        return 1;
    }
    const auto answered = static_cast<LRESULT>(answer);
    const bool acted = answered == kClockActed;
    if (*request == ClockRequest::Status ? !acted && answered != kClockIgnored : !acted) {
        std::puts("The break clock did not act on the request.");
        return 1;
    }
    switch (*request) {
        case ClockRequest::Hide:
            std::puts("The break clock is hidden.");
            break;
        case ClockRequest::Show:
            std::puts("The break clock is shown.");
            break;
        case ClockRequest::Status:
            std::puts(IsWindowVisible(clock) ? "The break clock is running, shown."
                                             : "The break clock is running, hidden.");
            break;
    }
    return 0;
}
