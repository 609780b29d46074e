#pragma once
// Key-cap text on the screen: runs of display-font codes drawn as they are, and each character the
// font lacks drawn on the blank cap in the fallback face, cut out of it as the font's own labels are.
#include <windows.h>

#include "core/display_font_codes.h"
#include "core/text_region_win.h"
#include "core/unique_handle_win.h"
#include "keystrokes/cap_label.h"

namespace spotlex {

// A bold sans-serif that every Windows since 2000 has, with Latin, Greek and Cyrillic letters
// and the currency signs; Wine ships it too.
inline constexpr wchar_t kFallbackFace[] = L"Tahoma";

class CapTextShaper {
public:
    // The size of `text` on `dc`, which has the display font selected.
    SIZE Measure(HDC dc, const CapText& text);
    // Adds the outline of `text`, drawn at the window's top-left corner, to a started `region`.
    void AddTo(CTextRegion& region, const CapText& text);

private:
    struct Label {
        HFONT font;
        PixelPoint origin;  // baseline-aligned, relative to the cap's cell
    };
    // The fallback face at an em of `emPixels`; the last one is kept for the next press.
    HFONT Face(int emPixels);
    // How high the face's capitals are, as a share of its em; learnt once.
    double CapRatio(HDC dc);
    Label PlaceLabel(HDC dc, char32_t ch);

    UniqueFont face_;
    int faceEm_ = 0;
    double capRatio_ = 0;
};

}  // namespace spotlex
