#include "core/display_font_win.h"

#include <cstring>

#include "core/file_paths.h"
#include "core/file_win.h"
#include "core/monitor_placement.h"
#include "core/wide_text_win.h"

namespace spotlex {

namespace {

int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

}  // namespace

bool IsFontFaceAvailable(const char* face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    WindowDc screen(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExA(screen.get(), &lf, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

bool LoadDisplayFont(const std::string& folder) {
    if (IsFontFaceAvailable(kDisplayFontFace)) return true;
    std::string dir = folder.empty() ? ProgramFolder() : folder;
    if (!dir.empty() && dir.back() != '/') dir = WithBackslash(dir);
    const std::string file = dir + kDisplayFontFile;
    if (AddFontResourceExW(Wide(file).c_str(), FR_PRIVATE, nullptr) == 0) return false;
    return IsFontFaceAvailable(kDisplayFontFace);
}

std::string SelectedFaceName(HDC dc, HFONT font) {
    ScopedSelect select(dc, font);
    char face[LF_FACESIZE] = {};
    int n = GetTextFaceA(dc, LF_FACESIZE, face);
    return std::string(face, n > 0 ? std::strlen(face) : 0);
}

void ShowMissingFontMessage(bool& open) {
    open = true;
    MessageBoxA(nullptr, kMissingFontMessage, "Spotlex", MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    open = false;
}

namespace {

template <class Draw>
UniqueRgn OutlineOf(HDC dc, Draw draw) {
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    UniqueRgn region;
    if (BeginPath(dc)) {
        draw();
        if (EndPath(dc)) region.reset(PathToRegion(dc));
    }
    SetBkMode(dc, oldMode);
    return region;
}

}  // namespace

UniqueRgn TextOutlineRegion(HDC dc, int x, int y, std::string_view text) {
    return OutlineOf(dc, [&] { TextOutA(dc, x, y, text.data(), static_cast<int>(text.size())); });
}

UniqueRgn TextOutlineRegion(HDC dc, int x, int y, std::wstring_view text) {
    return OutlineOf(dc, [&] { TextOutW(dc, x, y, text.data(), static_cast<int>(text.size())); });
}

DisplayFont CreateDisplayFont(int points, int dpi) {
    DisplayFont result;
    WindowDc screen(nullptr);
    if (!screen) return result;
    LOGFONTA lf{};
    result.dpi = dpi > 0 ? dpi : GetDeviceCaps(screen.get(), LOGPIXELSY);
    lf.lfHeight = -FontPixels(points, result.dpi);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SYMBOL_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;  // the displays need outlines for their regions
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(lf.lfFaceName, kDisplayFontFace, LF_FACESIZE);
    result.font.reset(CreateFontIndirectA(&lf));
    if (result.font)
        result.isDisplayFace = SelectedFaceName(screen.get(), result.font.get()) == kDisplayFontFace;
    return result;
}

}  // namespace spotlex
