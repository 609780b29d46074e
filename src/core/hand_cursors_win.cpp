#include "core/hand_cursors_win.h"

#include <array>
#include <cstdint>

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

}  // namespace spotlex
