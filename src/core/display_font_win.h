#pragma once
// The display font "Spotlex2": making it available at start, and creating it for a display.
#include <windows.h>

#include <string>
#include <string_view>

#include "core/display_font_codes.h"
#include "core/unique_handle_win.h"

namespace spotlex {

// True when GDI knows a font family of this face name.
bool IsFontFaceAvailable(const char* face);

// At start, before any display creates its font: when "Spotlex2" is not installed, loads
// Spotlex2.ttf from `folder` (the program's own folder when empty) for this process only, so
// the program runs without installation. True when the face is available afterwards.
bool LoadDisplayFont(const std::string& folder = {});

struct DisplayFont {
    UniqueFont font;
    // Selecting the font gave "Spotlex2" and not a substitute; when false, the display shows
    // its missing-font message instead.
    bool isDisplayFace = false;
    // The resolution it was made for.
    int dpi = 0;
};

// The display face at `points` points on a monitor of `dpi` (0: the screen's): the em is points / 72
// of the logical inch, and the symbol character set lets every 8-bit code reach its glyph whatever
// the system's code page.
DisplayFont CreateDisplayFont(int points, int dpi = 0);

// The face name that `dc` really uses once `font` is selected into it.
std::string SelectedFaceName(HDC dc, HFONT font);

// The displays' message for a font that cannot be set to the display face, modal. `open` is set
// while it shows, so that input arriving meanwhile does not stack a box per press or click.
void ShowMissingFontMessage(bool& open);

// The outline of `text` drawn at (x, y) with the font selected into `dc`: the glyphs alone, not
// their cells. Empty when the font draws no outline.
UniqueRgn TextOutlineRegion(HDC dc, int x, int y, std::string_view text);
UniqueRgn TextOutlineRegion(HDC dc, int x, int y, std::wstring_view text);

}  // namespace spotlex
