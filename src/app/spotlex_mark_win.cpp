#include "app/spotlex_mark_win.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace spotlex {

namespace {
constexpr int kScale = 4;  // samples per pixel along each axis

struct Dib {
    UniqueBitmap bitmap;
    std::uint32_t* bits = nullptr;
};

Dib MakeDib(int w, int h) {
    void* bits = nullptr;
    Dib d;
    d.bitmap = CreateTopDownDib(w, h, 32, &bits);
    d.bits = static_cast<std::uint32_t*>(bits);
    return d;
}

TRIVERTEX Vertex(double x, double y, COLORREF c) {
    TRIVERTEX v{};
    v.x = static_cast<LONG>(std::lround(x));
    v.y = static_cast<LONG>(std::lround(y));
    v.Red = static_cast<COLOR16>(GetRValue(c) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(c) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(c) << 8);
    return v;
}

void VerticalGradient(HDC dc, double x0, double y0, double x1, double y1, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {Vertex(x0, y0, top), Vertex(x1, y1, bottom)};
    GRADIENT_RECT r{0, 1};
    GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
}

// A rounded rectangle filled with a vertical gradient, in grid units of `u` pixels.
void RoundedGradient(HDC dc, double u, double x0, double y0, double x1, double y1, double radius,
                     COLORREF top, COLORREF bottom) {
    const int d = static_cast<int>(std::lround(2 * radius * u));
    UniqueRgn rgn(CreateRoundRectRgn(
        static_cast<int>(std::lround(x0 * u)), static_cast<int>(std::lround(y0 * u)),
        static_cast<int>(std::lround(x1 * u)), static_cast<int>(std::lround(y1 * u)), d, d));
    SelectClipRgn(dc, rgn.get());
    VerticalGradient(dc, x0 * u, y0 * u, x1 * u, y1 * u, top, bottom);
    SelectClipRgn(dc, nullptr);
}

// The drawing on a 32-unit grid, `u` pixels to the unit; the same layout as the program's icon.
void Paint(HDC dc, double u) {
    // The burst: twelve rays, pale in the middle and orange at the tips.
    constexpr int kRays = 12;
    std::vector<TRIVERTEX> v;
    std::vector<GRADIENT_TRIANGLE> tri;
    v.push_back(Vertex(16 * u, 16 * u, RGB(0xFF, 0xF3, 0xB0)));
    for (int i = 0; i < kRays * 2; ++i) {
        const double a = (-90.0 + i * 180.0 / kRays) * 3.14159265358979 / 180.0;
        const double r = (i % 2 == 0) ? 16.0 : 9.5;
        const COLORREF c = (i % 2 == 0) ? RGB(0xFF, 0x9A, 0x1A) : RGB(0xFF, 0xD8, 0x4A);
        v.push_back(Vertex((16 + r * std::cos(a)) * u, (16 + r * std::sin(a)) * u, c));
    }
    for (ULONG i = 1; i <= kRays * 2; ++i) tri.push_back({0, i, i % (kRays * 2) + 1});
    GradientFill(dc, v.data(), static_cast<ULONG>(v.size()), tri.data(), static_cast<ULONG>(tri.size()),
                 GRADIENT_FILL_TRIANGLE);

    // The key cap: dark rim, sloping sides, flat top.
    RoundedGradient(dc, u, 6, 6.5, 26, 26.5, 3.6, RGB(0x20, 0x2A, 0x36), RGB(0x20, 0x2A, 0x36));
    RoundedGradient(dc, u, 7, 7.5, 25, 25.5, 3.0, RGB(0xC9, 0xCF, 0xD9), RGB(0x8D, 0x97, 0xA8));
    RoundedGradient(dc, u, 9.2, 8.5, 22.8, 21.3, 2.0, RGB(0xFF, 0xFF, 0xFF), RGB(0xE3, 0xE7, 0xEE));

    // The letter on the cap.
    UniqueFont font(CreateFontA(-static_cast<int>(std::lround(10.5 * u)), 0, 0, 0, FW_BOLD, 0, 0, 0,
                                DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, "Tahoma"));
    ScopedSelect sel(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0x1D, 0x2B, 0x4F));
    RECT face{static_cast<LONG>(std::lround(9.2 * u)), static_cast<LONG>(std::lround(8.5 * u)),
              static_cast<LONG>(std::lround(22.8 * u)), static_cast<LONG>(std::lround(21.3 * u))};
    DrawTextA(dc, "K", 1, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}
}  // namespace

UniqueBitmap RenderSpotlexMark(int size) {
    if (size <= 0) return {};
    const int big = size * kScale;
    Dib onBlack = MakeDib(big, big);
    Dib onWhite = MakeDib(big, big);
    Dib out = MakeDib(size, size);
    UniqueMemDc dc(CreateCompatibleDC(nullptr));
    if (!onBlack.bits || !onWhite.bits || !out.bits || !dc) return {};

    const double u = big / 32.0;
    const size_t count = static_cast<size_t>(big) * static_cast<size_t>(big);
    std::fill(onBlack.bits, onBlack.bits + count, 0x000000u);
    std::fill(onWhite.bits, onWhite.bits + count, 0xFFFFFFu);
    {
        ScopedSelect sel(dc.get(), onBlack.bitmap.get());
        Paint(dc.get(), u);
    }
    {
        ScopedSelect sel(dc.get(), onWhite.bitmap.get());
        Paint(dc.get(), u);
    }
    GdiFlush();

    // Each output pixel averages its kScale x kScale samples; the black copy is the premultiplied
    // colour and the gap to the white copy gives the coverage.
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            unsigned sum[3] = {0, 0, 0};
            unsigned alpha = 0;
            for (int sy = 0; sy < kScale; ++sy) {
                const size_t row = static_cast<size_t>(y * kScale + sy) * static_cast<size_t>(big);
                for (int sx = 0; sx < kScale; ++sx) {
                    const std::uint32_t b = onBlack.bits[row + static_cast<size_t>(x * kScale + sx)];
                    const std::uint32_t w = onWhite.bits[row + static_cast<size_t>(x * kScale + sx)];
                    const int gap = static_cast<int>((w >> 8) & 0xFF) - static_cast<int>((b >> 8) & 0xFF);
                    alpha += static_cast<unsigned>(255 - std::clamp(gap, 0, 255));
                    for (int c = 0; c < 3; ++c) sum[c] += (b >> (8 * c)) & 0xFF;
                }
            }
            constexpr unsigned n = kScale * kScale;
            const unsigned a = (alpha + n / 2) / n;
            std::uint32_t px = a << 24;
            for (int c = 0; c < 3; ++c) px |= std::min(a, (sum[c] + n / 2) / n) << (8 * c);
            out.bits[static_cast<size_t>(y) * static_cast<size_t>(size) + static_cast<size_t>(x)] = px;
        }
    }
    return std::move(out.bitmap);
}

void DrawSpotlexMark(HDC dc, int x, int y, int size) {
    UniqueBitmap mark = RenderSpotlexMark(size);
    UniqueMemDc src(CreateCompatibleDC(dc));
    if (!mark || !src) return;
    ScopedSelect sel(src.get(), mark.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, x, y, size, size, src.get(), 0, 0, size, size, blend);
}

}  // namespace spotlex
