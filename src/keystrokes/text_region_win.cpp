#include "keystrokes/text_region_win.h"

#include "core/latency_trace_win.h"

namespace spotlex {

CTextRegion::~CTextRegion() {
    if (dc_) {
        ::AbortPath(dc_->get());
        Finish();
    }
}

bool CTextRegion::StartShape(HWND hwnd, HFONT font) {
    if (dc_) Finish();
    hwnd_ = hwnd;
    dc_.emplace(hwnd);
    if (!*dc_) {
        dc_.reset();
        return false;
    }
    HDC dc = dc_->get();
    savedDc_ = ::SaveDC(dc);
    ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    if (!::BeginPath(dc)) {
        Finish();
        return false;
    }
    return true;
}

void CTextRegion::AddToShape(int x, int y, std::string_view text) {
    if (!dc_) return;
    ::TextOutA(dc_->get(), x, y, text.data(), static_cast<int>(text.size()));
}

bool CTextRegion::EndShape(bool redraw) {
    if (!dc_) return false;
    HDC dc = dc_->get();
    UniqueRgn region;
    if (::EndPath(dc)) region.reset(::PathToRegion(dc));
    Finish();
    trace::Mark(trace::kRegionBuilt);
    if (!region) return false;
    if (!::SetWindowRgn(hwnd_, region.get(), redraw ? TRUE : FALSE)) return false;
    trace::Mark(trace::kRegionSet);
    region.release();  // the window owns it now
    return true;
}

void CTextRegion::Finish() noexcept {
    // Restoring the saved state also deselects the font before the caller may delete it.
    if (savedDc_) ::RestoreDC(dc_->get(), savedDc_);
    savedDc_ = 0;
    dc_.reset();
}

}  // namespace spotlex
