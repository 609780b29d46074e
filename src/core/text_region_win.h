#pragma once
// CTextRegion turns text drawn on a window's device context into that window's region: the
// window then consists of the glyph outlines alone.
#include <windows.h>

#include <optional>
#include <string_view>

#include "core/unique_handle_win.h"

namespace spotlex {

class CTextRegion {
public:
    CTextRegion() = default;
    CTextRegion(const CTextRegion&) = delete;
    CTextRegion& operator=(const CTextRegion&) = delete;
    // A shape started and never ended gives its device context back untouched.
    ~CTextRegion();

    // Starts an empty shape drawn with `font` on the window's device context. False when the
    // window has no device context.
    bool StartShape(HWND hwnd, HFONT font);
    // The same, drawn on `screenDc`, a memory context of the screen the window is on: the outlines
    // come out the same, and the window's own context need not first be fitted to its old shape.
    bool StartShape(HWND hwnd, HFONT font, HDC screenDc);
    // Adds the glyph outlines of `text` drawn at (x, y), client pixels. Texts added one by one
    // are united, so where two overlap the window stays filled.
    void AddToShape(int x, int y, std::string_view text);
    // Takes the glyph outlines of `text` in `font`, its baseline starting at (x, y), out of the
    // shape, as a label is cut out of a key cap.
    void CutFromShape(int x, int y, std::wstring_view text, HFONT font);
    // Gives the shape to the window; from then on the region is the system's. False when the
    // shape is empty or the window refused it; the old shape stays.
    bool EndShape(bool redraw);
    // The context the shape is drawn on, with the font selected; null when none is started.
    HDC Dc() const noexcept { return dc_; }

private:
    void Finish() noexcept;

    HWND hwnd_ = nullptr;
    std::optional<WindowDc> windowDc_;
    HDC dc_ = nullptr;
    int savedDc_ = 0;
    UniqueRgn shape_;
};

}  // namespace spotlex
