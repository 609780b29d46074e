#include "app/ui_font_win.h"

#include <cstring>

namespace spotlex {

namespace {
int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool HasFace(const char* face) {
    WindowDc screen(nullptr);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExA(screen.get(), &lf, &FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}
}  // namespace

UniqueFont MakeUiFont(int pixelHeight, int weight) {
    static const char* const face = HasFace("Segoe UI") ? "Segoe UI" : "Tahoma";
    LOGFONTA lf{};
    lf.lfHeight = -pixelHeight;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectA(&lf));
}

}  // namespace spotlex
