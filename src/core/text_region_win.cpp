#include "core/text_region_win.h"

#include "core/display_font_win.h"

#include "core/latency_trace_win.h"

namespace spotlex {

CTextRegion::~CTextRegion() {
    if (dc_) Finish();
}

bool CTextRegion::StartShape(HWND hwnd, HFONT font) {
    if (dc_) Finish();
    windowDc_.emplace(hwnd);
    if (!*windowDc_) {
        windowDc_.reset();
        return false;
    }
    return StartShape(hwnd, font, windowDc_->get());
}

bool CTextRegion::StartShape(HWND hwnd, HFONT font, HDC screenDc) {
    if (dc_) Finish();
    shape_.reset();
    hwnd_ = hwnd;
    dc_ = screenDc;
    if (!dc_) return false;
    savedDc_ = ::SaveDC(dc_);
    ::SelectObject(dc_, font);
    ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    return true;
}

void CTextRegion::AddToShape(int x, int y, std::string_view text) {
    if (!dc_) return;
    UniqueRgn outline = TextOutlineRegion(dc_, x, y, text);
    if (!outline) return;
    if (!shape_)
        shape_ = std::move(outline);
    else
        ::CombineRgn(shape_.get(), shape_.get(), outline.get(), RGN_OR);
}

void CTextRegion::CutFromShape(int x, int y, std::wstring_view text, HFONT font) {
    if (!dc_ || !shape_) return;
    ScopedSelect use(dc_, font);
    const UINT align = ::SetTextAlign(dc_, TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    UniqueRgn outline = TextOutlineRegion(dc_, x, y, text);
    ::SetTextAlign(dc_, align);
    if (outline) ::CombineRgn(shape_.get(), shape_.get(), outline.get(), RGN_DIFF);
}

bool CTextRegion::EndShape(bool redraw) {
    if (!dc_) return false;
    Finish();
    trace::Mark(trace::kRegionBuilt);
    if (!shape_) return false;
    if (!::SetWindowRgn(hwnd_, shape_.get(), redraw ? TRUE : FALSE)) return false;
    trace::Mark(trace::kRegionSet);
    shape_.release();  // the window owns it now
    return true;
}

void CTextRegion::Finish() noexcept {
    // Restoring the saved state also deselects the font before the caller may delete it.
    if (savedDc_) ::RestoreDC(dc_, savedDc_);
    savedDc_ = 0;
    dc_ = nullptr;
    windowDc_.reset();
}

}  // namespace spotlex
