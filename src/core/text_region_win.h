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

    // Opens a path on the window's device context, drawing with `font` on a transparent
    // background so that the path holds the glyph outlines and not the character cells.
    // False when the window has no device context or the path cannot be opened.
    bool StartShape(HWND hwnd, HFONT font);
    // Adds the outlines of `text` drawn at (x, y), client pixels, to the open path.
    void AddToShape(int x, int y, std::string_view text);
    // Closes the path and gives its region to the window. From then on the region is the
    // system's. False when no region came back or the window refused it; the old shape stays.
    bool EndShape(bool redraw);

private:
    void Finish() noexcept;

    HWND hwnd_ = nullptr;
    std::optional<WindowDc> dc_;
    int savedDc_ = 0;
};

}  // namespace spotlex
