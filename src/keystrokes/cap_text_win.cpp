#include "keystrokes/cap_text_win.h"

#include <algorithm>
#include <string>

namespace spotlex {
namespace {

constexpr char kBlankCapCode[] = {static_cast<char>(kBlankCap), 0};

// Calls `run(bytes)` for each stretch of font codes and `lone(ch)` for each other character.
template <class Run, class Lone>
void ForEachRun(const CapText& text, Run run, Lone lone) {
    std::string codes;
    for (char32_t c : text) {
        if (IsFontCode(c)) {
            codes += static_cast<char>(c - kFontCodeBase);
            continue;
        }
        if (!codes.empty()) run(codes);
        codes.clear();
        lone(c);
    }
    if (!codes.empty()) run(codes);
}

SIZE Extent(HDC dc, std::string_view codes) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, codes.data(), static_cast<int>(codes.size()), &size);
    return size;
}

std::wstring Utf16(char32_t ch) {
    if (ch < 0x10000) return std::wstring(1, static_cast<wchar_t>(ch));
    ch -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (ch >> 10)), static_cast<wchar_t>(0xDC00 + (ch & 0x3FF))};
}

// The character as a key cap shows it: letters in capitals.
std::wstring OnTheCap(char32_t ch) {
    std::wstring s = Utf16(ch);
    ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

const MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

}  // namespace

SIZE CapTextShaper::Measure(HDC dc, const CapText& text) {
    if (text.empty()) return Extent(dc, {});  // as high as the font, as an empty text always was
    SIZE total{};
    const auto add = [&](SIZE part) {
        total.cx += part.cx;
        total.cy = std::max(total.cy, part.cy);
    };
    ForEachRun(
        text, [&](std::string_view codes) { add(Extent(dc, codes)); },
        [&](char32_t) { add(Extent(dc, kBlankCapCode)); });
    return total;
}

void CapTextShaper::AddTo(CTextRegion& region, const CapText& text) {
    const HDC dc = region.Dc();
    if (!dc) return;
    int x = 0;
    ForEachRun(
        text,
        [&](std::string_view codes) {
            region.AddToShape(x, 0, codes);
            x += Extent(dc, codes).cx;
        },
        [&](char32_t ch) {
            region.AddToShape(x, 0, kBlankCapCode);
            const Label label = PlaceLabel(dc, ch);
            if (label.font) region.CutFromShape(x + label.origin.x, label.origin.y, OnTheCap(ch), label.font);
            x += Extent(dc, kBlankCapCode).cx;
        });
}

HFONT CapTextShaper::Face(int emPixels) {
    if (face_ && faceEm_ == emPixels) return face_.get();
    LOGFONTW lf{};
    lf.lfHeight = -emPixels;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;  // outlines, for the region
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(lf.lfFaceName, kFallbackFace, LF_FACESIZE);
    UniqueFont font(::CreateFontIndirectW(&lf));
    if (!font) return nullptr;
    face_ = std::move(font);
    faceEm_ = emPixels;
    return face_.get();
}

double CapTextShaper::CapRatio(HDC dc) {
    if (capRatio_ > 0) return capRatio_;
    // Measured on the capital H: the face's own figure is not always filled in.
    capRatio_ = 0.72;  // about what sans-serif faces have
    constexpr int kProbeEm = 1000;
    LOGFONTW lf{};
    lf.lfHeight = -kProbeEm;
    lf.lfWeight = FW_BOLD;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(lf.lfFaceName, kFallbackFace, LF_FACESIZE);
    UniqueFont probe(::CreateFontIndirectW(&lf));
    if (!probe) return capRatio_;
    ScopedSelect use(dc, probe.get());
    GLYPHMETRICS h{};
    if (::GetGlyphOutlineW(dc, L'H', GGO_METRICS, &h, 0, nullptr, &kIdentity) != GDI_ERROR &&
        h.gmBlackBoxY > 0)
        capRatio_ = static_cast<double>(h.gmBlackBoxY) / kProbeEm;
    return capRatio_;
}

CapTextShaper::Label CapTextShaper::PlaceLabel(HDC dc, char32_t ch) {
    // The blank cap's ink in its cell, as the display font draws it now.
    GLYPHMETRICS cell{};
    if (::GetGlyphOutlineA(dc, kBlankCap, GGO_METRICS, &cell, 0, nullptr, &kIdentity) == GDI_ERROR) return {};
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    const CapBox cap{cell.gmptGlyphOrigin.x, tm.tmAscent - cell.gmptGlyphOrigin.y,
                     static_cast<int>(cell.gmBlackBoxX), static_cast<int>(cell.gmBlackBoxY)};

    const wchar_t first = OnTheCap(ch)[0];
    const auto inkOf = [&](HFONT font, GLYPHMETRICS& ink) {
        ScopedSelect use(dc, font);
        return ::GetGlyphOutlineW(dc, first, GGO_METRICS, &ink, 0, nullptr, &kIdentity) != GDI_ERROR;
    };
    const double ratio = CapRatio(dc);
    LabelFit fit = FitLabel(cap, ratio);
    HFONT font = Face(fit.emPixels);
    GLYPHMETRICS ink{};
    if (!font || !inkOf(font, ink)) return {};
    const LabelFit narrower = FitLabelWidth(cap, ratio, fit, static_cast<int>(ink.gmBlackBoxX));
    if (narrower.emPixels != fit.emPixels) {
        fit = narrower;
        font = Face(fit.emPixels);
        if (!font || !inkOf(font, ink)) return {};
    }
    return {font, LabelOrigin(cap, fit, ink.gmptGlyphOrigin.x, static_cast<int>(ink.gmBlackBoxX))};
}

}  // namespace spotlex
