// Draws the display font the way the program does, through GDI, into a 24-bit BMP for review:
// every code with TextOutA, rows of caps at small sizes, and window regions made from glyph
// paths (BeginPath, TextOutA, EndPath, PathToRegion) at 64 and 188 points.
//   gdi_sheet.exe OUTPUT.bmp
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/display_font_win.h"

using namespace spotlex;

namespace {

constexpr int kWidth = 1800;
constexpr int kHeight = 2800;

struct Sheet {
    HDC dc = nullptr;
    int y = 10;
};

void Caption(Sheet& s, const std::string& text) {
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    ScopedSelect select(s.dc, font);
    SetTextColor(s.dc, RGB(90, 90, 90));
    TextOutA(s.dc, 10, s.y, text.data(), static_cast<int>(text.size()));
    s.y += 18;
}

int CellHeight(HDC dc) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return tm.tmHeight;
}

void Grid(Sheet& s, int points) {
    Caption(s, "TextOutA, every code at " + std::to_string(points) + " pt");
    DisplayFont font = CreateDisplayFont(points);
    ScopedSelect select(s.dc, font.font.get());
    const int cell = CellHeight(s.dc);
    std::string codes;
    for (unsigned char c : kKeyCapCodes) codes += static_cast<char>(c);
    for (int c = kFirstBurstFrame; c <= kDoubleClickMarker; ++c) codes += static_cast<char>(c);
    for (const char* p = kClockCharacters; *p; ++p) codes += static_cast<char>(*p + kClockGlyphOffset);
    int x = 10;
    SetTextColor(s.dc, RGB(20, 20, 20));
    for (char c : codes) {
        SIZE size{};
        GetTextExtentPoint32A(s.dc, &c, 1, &size);
        if (x + size.cx > kWidth - 10) {
            x = 10;
            s.y += cell + 4;
        }
        TextOutA(s.dc, x, s.y, &c, 1);
        x += size.cx;
    }
    s.y += cell + 10;
}

void Row(Sheet& s, int points, const std::string& text, const std::string& what) {
    Caption(s, std::to_string(points) + " pt: " + what);
    DisplayFont font = CreateDisplayFont(points);
    ScopedSelect select(s.dc, font.font.get());
    SetTextColor(s.dc, RGB(20, 20, 20));
    TextOutA(s.dc, 10, s.y, text.data(), static_cast<int>(text.size()));
    s.y += CellHeight(s.dc) + 6;
}

// The region a display window would get, filled, with its cell outlined.
void Region(Sheet& s, int points, const std::vector<std::string>& layers, const std::string& what,
            COLORREF color) {
    Caption(s, std::to_string(points) + " pt region from path: " + what);
    DisplayFont font = CreateDisplayFont(points);
    ScopedSelect select(s.dc, font.font.get());
    SIZE size{};
    GetTextExtentPoint32A(s.dc, layers[0].data(), static_cast<int>(layers[0].size()), &size);
    BeginPath(s.dc);
    for (const std::string& text : layers) TextOutA(s.dc, 10, s.y, text.data(), static_cast<int>(text.size()));
    EndPath(s.dc);
    UniqueRgn region(PathToRegion(s.dc));
    UniqueBrush brush(CreateSolidBrush(color));
    FillRgn(s.dc, region.get(), brush.get());
    UniqueBrush frame(CreateSolidBrush(RGB(200, 200, 200)));
    RECT cell{10, s.y, 10 + size.cx, s.y + size.cy};
    FrameRect(s.dc, &cell, frame.get());
    if (layers[0].size() == 1) {  // the burst centre the displays aim at
        const int cx = 10 + static_cast<int>(size.cx / kBurstCentreXDivisor);
        const int cy = s.y + static_cast<int>(size.cx / kBurstCentreYDivisor);
        for (int d = -6; d <= 6; ++d) {
            SetPixel(s.dc, cx + d, cy, RGB(255, 255, 255));
            SetPixel(s.dc, cx, cy + d, RGB(255, 255, 255));
        }
    }
    s.y += size.cy + 8;
}

bool WriteBmp(const char* path, HBITMAP bitmap, HDC dc) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const int stride = (kWidth * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * kHeight);
    if (!GetDIBits(dc, bitmap, 0, kHeight, pixels.data(), &bi, DIB_RGB_COLORS)) return false;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fwrite(&fh, sizeof fh, 1, f);
    std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    return std::fclose(f) == 0;
}

std::string Codes(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gdi_sheet OUTPUT.bmp\n");
        return 2;
    }
    if (!LoadDisplayFont()) {
        std::fprintf(stderr, "Spotlex2.ttf not found beside the program\n");
        return 1;
    }
    WindowDc screen(nullptr);
    UniqueMemDc dc(CreateCompatibleDC(screen.get()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), kWidth, kHeight));
    {
        ScopedSelect selectBitmap(dc.get(), bitmap.get());
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc.get(), TRANSPARENT);
        Sheet s{dc.get()};
        Grid(s, 36);
        const std::string row = Codes({168, 167, 169, 182, 97, 203, 173, 184, 205, 170, 171, 35, 198, 157, 163, 46});
        const std::string what = "Ctrl Alt Shift Del a Space Enter Win Backspace Tab Caps # Num1 F12 Down .";
        Row(s, 14, row, what);
        Row(s, 18, row, what);
        Row(s, 24, row, what);
        Region(s, 14, {row}, what, RGB(200, 0, 0));
        Region(s, 64, {Codes({168, 167, 169, 182}) + "s"}, "Ctrl Alt Shift Del s", RGB(0, 90, 200));
        Region(s, 64, {Codes({216 + 1, 216 + 2, 226, 216 + 3, 216 + 4, 226, 216 + 5, 216 + 6})}, "clock 12:34:56",
               RGB(0, 140, 0));
        for (int code = kFirstBurstFrame; code <= kLastBurstFrame; ++code)
            Region(s, 64, {Codes({code}), Codes({kDoubleClickMarker})}, "burst frame " + std::to_string(code) + " + marker",
                   RGB(220, 40, 0));
        Region(s, 188, {Codes({168}) + "s"}, "Ctrl s", RGB(0, 90, 200));
    }
    if (!WriteBmp(argv[1], bitmap.get(), dc.get())) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
