#include "core/hand_cursors_win.h"

#include <array>
#include <cstdint>

#include "core/errata_log_win.h"
#include "core/sound_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {
namespace {

constexpr int kSize = 32;

// '#' black, '.' white, ' ' transparent.
// clang-format off
constexpr const char* kOpenHand[kSize] = {
    "                                ",
    "                                ",
    "                                ",
    "             ###                ",
    "            #...####            ",
    "         ####...#...#           ",
    "        #...#...#...#           ",
    "        #...#...#...###         ",
    "        #...#...#...#..#        ",
    "        #...#...#...#..#        ",
    "        #...#...#...#..#        ",
    "        #...#...#...#..#        ",
    "        #...#...#...#..#        ",
    "   ###  #...#...#...#..#        ",
    "  #...# #...#...#...#..#        ",
    "  #....##...#...#...#..#        ",
    "   #....#...#...#...#..#        ",
    "    #...#...............#       ",
    "    #....#..............#       ",
    "     #...#..............#       ",
    "      #.................#       ",
    "       #................#       ",
    "       #...............#        ",
    "        #..............#        ",
    "        #..............#        ",
    "         #............#         ",
    "         #............#         ",
    "         ##############         ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};

constexpr const char* kClosedHand[kSize] = {
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "            ### ###             ",
    "         ###...#...###          ",
    "        #...#...#...#.##        ",
    "        #...#...#...#..#        ",
    "        #...#...#...#..#        ",
    "      ####...........#..#       ",
    "     #...#..............#       ",
    "     #....#.............#       ",
    "      #...#.............#       ",
    "      #.................#       ",
    "       #................#       ",
    "       #...............#        ",
    "        #..............#        ",
    "        #..............#        ",
    "         #............#         ",
    "         #............#         ",
    "         ##############         ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "                                ",
};
// clang-format on

UniqueCursor FromArt(const char* const (&art)[kSize], int hotX, int hotY) {
    // Monochrome cursor masks: AND 1 keeps the screen, XOR 1 turns the pixel white.
    constexpr int kRowBytes = kSize / 8;
    std::array<std::uint8_t, kSize * kRowBytes> andMask{};
    std::array<std::uint8_t, kSize * kRowBytes> xorMask{};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
            const std::size_t at = static_cast<std::size_t>(y * kRowBytes + x / 8);
            switch (art[y][x]) {
                case ' ':
                    andMask[at] |= bit;
                    break;
                case '.':
                    xorMask[at] |= bit;
                    break;
                default:
                    break;
            }
        }
    }
    return UniqueCursor(::CreateCursor(::GetModuleHandleA(nullptr), hotX, hotY, kSize, kSize, andMask.data(),
                                       xorMask.data()));
}

}  // namespace

UniqueCursor CreateOpenHandCursor() {
    return FromArt(kOpenHand, 16, 16);
}
UniqueCursor CreateClosedHandCursor() {
    return FromArt(kClosedHand, 16, 18);
}

bool DraggableDisplayMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, HCURSOR hand, LRESULT& result) {
    switch (msg) {
        case WM_MOUSEACTIVATE:
            result = MA_NOACTIVATE;
            return true;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lp)->flags |= SWP_NOACTIVATE;
            return false;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) != hwnd || !hand) return false;
            ::SetCursor(hand);
            result = TRUE;
            return true;
        default:
            return false;
    }
}

void EndMoveLoop(bool dragging) noexcept {
    if (dragging) ::PostThreadMessageA(::GetCurrentThreadId(), WM_LBUTTONUP, 0, 0);
}

void DragDisplay(const DisplayDrag& drag) noexcept {
    const auto alive = [&drag] { return !drag.alive || *drag.alive; };
    struct Resume {
        const DisplayDrag& d;
        std::function<void(bool)> gate;
        bool displayAlive() const { return !d.alive || *d.alive; }
        ~Resume() {
            if (displayAlive()) {
                if (d.dragging) *d.dragging = false;
                try {
                    if (d.resume) d.resume();
                } catch (...) {
                    LogCurrentException(d.module, "Form_MouseDown");
                }
                if (d.openHand) ::SetCursor(d.openHand);
            }
            if (gate) {
                try {
                    gate(true);
                } catch (...) {
                    LogCurrentException(d.module, "Form_MouseDown");
                }
            }
        }
    };
    try {
        Resume resume{drag, {}};
        if (drag.inputGate && *drag.inputGate) {
            resume.gate = *drag.inputGate;
            resume.gate(false);
        }
        if (drag.dragging) *drag.dragging = true;
        if (drag.closedHand) ::SetCursor(drag.closedHand);
        ::ReleaseCapture();
        PlayFX("CKDragStart", false);
        // Sent as the command itself, so that no system takes the click on the "caption" as a
        // reason to activate the window.
        ::SendMessageA(drag.hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        if (!alive()) return;
        // Floated on top again, unless it was hidden meanwhile.
        if (::IsWindowVisible(drag.hwnd)) SetWindowOnTop(drag.hwnd, HWND_TOPMOST);
        PlayFX("CKDragEnd", false);
        if (drag.dropped) drag.dropped();
    } catch (...) {
        LogCurrentException(drag.module, "Form_MouseDown");
    }
}

}  // namespace spotlex
