// The display font as GDI sees it: loading it for the process, selecting the face, every code
// the displays draw reaching a real glyph, the burst centre, and the shapes of caps and digits.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/display_font_win.h"
#include "support/test_support.h"

using namespace spotlex;

namespace {

// A code the font leaves empty: GDI draws its default glyph there.
constexpr unsigned char kUnmappedCode = 172;

std::string Chars(std::initializer_list<int> codes) {
    std::string s;
    for (int c : codes) s += static_cast<char>(c);
    return s;
}

std::string AllDisplayCodes() {
    std::string s;
    for (unsigned char c : kKeyCapCodes) s += static_cast<char>(c);
    for (int c = kFirstBurstFrame; c <= kDoubleClickMarker; ++c) s += static_cast<char>(c);
    for (const char* p = kClockCharacters; *p; ++p) s += static_cast<char>(*p + kClockGlyphOffset);
    return s;
}

// A white 32-bit canvas with a font selected, for drawing and for paths.
class Canvas {
public:
    Canvas(HFONT font, int width, int height) : width_(width), height_(height) {
        WindowDc screen(nullptr);
        dc_.reset(CreateCompatibleDC(screen.get()));
        void* bits = nullptr;
        bitmap_ = CreateTopDownDib(width, height, 32, &bits);
        bits_ = static_cast<DWORD*>(bits);
        oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
        oldFont_ = SelectObject(dc_.get(), font);
        SetBkMode(dc_.get(), TRANSPARENT);
        SetTextColor(dc_.get(), RGB(0, 0, 0));
    }
    ~Canvas() {
        SelectObject(dc_.get(), oldFont_);
        SelectObject(dc_.get(), oldBitmap_);
    }
    HDC dc() const { return dc_.get(); }

    // Draws `text` at the origin on white and returns the pixels.
    std::vector<DWORD> Draw(const std::string& text) {
        RECT all{0, 0, width_, height_};
        FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TextOutA(dc_.get(), 0, 0, text.data(), static_cast<int>(text.size()));
        GdiFlush();
        return {bits_, bits_ + width_ * height_};
    }

    // The box of the non-white pixels of `text` drawn at the origin.
    RECT Ink(const std::string& text) {
        std::vector<DWORD> px = Draw(text);
        RECT box{width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if ((px[y * width_ + x] & 0xFFFFFF) != 0xFFFFFF) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

    // The region that the outline of `text` at the origin encloses, as the displays build it.
    UniqueRgn Region(const std::string& text, int fillMode) {
        BeginPath(dc_.get());
        TextOutA(dc_.get(), 0, 0, text.data(), static_cast<int>(text.size()));
        EndPath(dc_.get());
        SetPolyFillMode(dc_.get(), fillMode);
        return UniqueRgn(PathToRegion(dc_.get()));
    }

    int Advance(const std::string& text) {
        SIZE size{};
        GetTextExtentPoint32A(dc_.get(), text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    int width_, height_;
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    DWORD* bits_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr, oldFont_ = nullptr;
};

RECT Box(HRGN rgn) {
    RECT box{};
    GetRgnBox(rgn, &box);
    return box;
}

// Rows of the region that it crosses more than once: a cut-out label gives such rows.
int RowsWithHoles(HRGN rgn) {
    DWORD size = GetRegionData(rgn, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    GetRegionData(rgn, size, data);
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    int rows = 0;
    for (DWORD i = 1; i < data->rdh.nCount; ++i)
        if (rects[i].top == rects[i - 1].top) rows += rects[i].bottom - rects[i].top;
    return rows;
}

// Whether two regions cover the same pixels (EqualRgn also compares how they are cut into rectangles).
bool SamePixels(HRGN a, HRGN b) {
    UniqueRgn difference(CreateRectRgn(0, 0, 0, 0));
    return CombineRgn(difference.get(), a, b, RGN_XOR) == NULLREGION;
}

UniqueFont FontWithCharset(int points, BYTE charset) {
    WindowDc screen(nullptr);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    lf.lfCharSet = charset;
    lstrcpynA(lf.lfFaceName, kDisplayFontFace, LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&lf));
}

}  // namespace

// Runs first (tests run in the order they are declared): the fresh prefix has no "Spotlex2",
// so the face is missing until the program loads the file beside it.
TEST(DisplayFontLoad, FaceIsMissingUntilLoadedFromTheProgramFolder) {
    ASSERT_FALSE(IsFontFaceAvailable(kDisplayFontFace)) << "the font must not be installed here";
    // 13 points is used by no other test: Wine keeps a realised font for its LOGFONT.
    DisplayFont substitute = CreateDisplayFont(13);
    ASSERT_TRUE(substitute.font);
    EXPECT_FALSE(substitute.isDisplayFace) << "the system substituted a font, and that must show";

    EXPECT_FALSE(LoadDisplayFont("C:\\no such folder"));
    EXPECT_FALSE(IsFontFaceAvailable(kDisplayFontFace));

    EXPECT_TRUE(LoadDisplayFont());
    EXPECT_TRUE(IsFontFaceAvailable(kDisplayFontFace));
    EXPECT_TRUE(LoadDisplayFont()) << "once loaded, a second start-up call still succeeds";
}

class DisplayFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadDisplayFont()); }
};

TEST_F(DisplayFontTest, SelectingTheFaceGivesSpotlex2AtThePointSize) {
    WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    for (int points : {14, 64, 188}) {
        SCOPED_TRACE(points);
        DisplayFont font = CreateDisplayFont(points);
        ASSERT_TRUE(font.font);
        EXPECT_TRUE(font.isDisplayFace);
        EXPECT_EQ(SelectedFaceName(screen.get(), font.font.get()), "Spotlex2");
        {
            ScopedSelect select(screen.get(), font.font.get());
            EXPECT_EQ(GetTextCharset(screen.get()), SYMBOL_CHARSET);
        }
        // A one-unit key is one em wide, so its width shows the em is the point size.
        Canvas canvas(font.font.get(), 8, 8);
        EXPECT_NEAR(canvas.Advance("a"), MulDiv(points, dpi, 72), 1);
    }
}

// Under the process's code page (run this test under several: see tools/font/check_code_pages.sh),
// and with the face asked for with the symbol and with the default character set.
TEST_F(DisplayFontTest, EveryDisplayCodeReachesARealGlyph) {
    const unsigned acp = GetACP();
    RecordProperty("acp", static_cast<int>(acp));
    if (const char* expected = std::getenv("SPOTLEX_EXPECT_ACP")) {
        ASSERT_EQ(acp, static_cast<unsigned>(std::atoi(expected))) << "the run was meant for another code page";
    }

    const std::string codes = AllDisplayCodes();
    DisplayFont symbol = CreateDisplayFont(48);
    UniqueFont byDefault = FontWithCharset(48, DEFAULT_CHARSET);
    std::vector<WORD> symbolGlyphs;
    for (HFONT font : {symbol.font.get(), byDefault.get()}) {
        Canvas canvas(font, 600, 120);
        ASSERT_EQ(SelectedFaceName(canvas.dc(), font), "Spotlex2");

        std::vector<WORD> glyphs(codes.size());
        ASSERT_EQ(GetGlyphIndicesA(canvas.dc(), codes.data(), static_cast<int>(codes.size()), glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS),
                  codes.size())
            << "one glyph for each byte, whatever the code page's lead bytes";
        WORD missing = 0;
        const char unmapped = static_cast<char>(kUnmappedCode);
        GetGlyphIndicesA(canvas.dc(), &unmapped, 1, &missing, GGI_MARK_NONEXISTING_GLYPHS);
        EXPECT_EQ(missing, 0xFFFF) << "the check must be able to see a missing glyph";

        const std::vector<DWORD> defaultGlyph = canvas.Draw(std::string(1, unmapped));
        for (size_t i = 0; i < codes.size(); ++i) {
            const int code = static_cast<unsigned char>(codes[i]);
            SCOPED_TRACE(code);
            EXPECT_NE(glyphs[i], 0xFFFF);
            EXPECT_NE(glyphs[i], 0) << "the missing-glyph box";
            ABC abc{};
            ASSERT_TRUE(GetCharABCWidthsA(canvas.dc(), code, code, &abc));
            EXPECT_GT(abc.abcB, 10u);
            EXPECT_NE(canvas.Draw(std::string(1, codes[i])), defaultGlyph);
        }
        if (symbolGlyphs.empty())
            symbolGlyphs = glyphs;
        else
            EXPECT_EQ(glyphs, symbolGlyphs) << "both character sets reach the same glyphs";
    }
}

TEST_F(DisplayFontTest, BurstCentreLiesWhereTheRulePutsIt) {
    for (int points : {64, 188}) {
        SCOPED_TRACE(points);
        DisplayFont font = CreateDisplayFont(points);
        Canvas canvas(font.font.get(), 400, 600);
        TEXTMETRICA tm{};
        GetTextMetricsA(canvas.dc(), &tm);
        const int width = canvas.Advance(Chars({kFirstBurstFrame}));
        for (int code = kFirstBurstFrame; code <= kDoubleClickMarker; ++code) {
            SCOPED_TRACE(code);
            const std::string glyph = Chars({code});
            EXPECT_EQ(canvas.Advance(glyph), width) << "every frame and the marker share one origin and width";
            const double wantX = width / kBurstCentreXDivisor, wantY = width / kBurstCentreYDivisor;

            UniqueRgn region = canvas.Region(glyph, ALTERNATE);
            ASSERT_TRUE(region);
            RECT box = Box(region.get());
            EXPECT_NEAR((box.left + box.right) / 2.0, wantX, 1.0);
            EXPECT_NEAR((box.top + box.bottom) / 2.0, wantY, 1.0);
            // The burst window is one cell: the whole burst must lie inside it.
            EXPECT_GE(box.left, 0);
            EXPECT_GE(box.top, 0);
            EXPECT_LE(box.right, width);
            EXPECT_LE(box.bottom, tm.tmHeight);

            RECT ink = canvas.Ink(glyph);
            EXPECT_NEAR((ink.left + ink.right) / 2.0, wantX, 1.0);
            EXPECT_NEAR((ink.top + ink.bottom) / 2.0, wantY, 1.0);
        }
        // The marker lies over each frame without touching it, so the shape of both together
        // is the same under the alternate fill mode that the window's region uses by default.
        for (int code = kFirstBurstFrame; code <= kLastBurstFrame; ++code) {
            SCOPED_TRACE(code);
            const std::string both = Chars({code}) + Chars({kDoubleClickMarker});
            BeginPath(canvas.dc());
            TextOutA(canvas.dc(), 0, 0, both.data(), 1);
            TextOutA(canvas.dc(), 0, 0, both.data() + 1, 1);
            EndPath(canvas.dc());
            SetPolyFillMode(canvas.dc(), ALTERNATE);
            UniqueRgn alternate(PathToRegion(canvas.dc()));
            UniqueRgn frame = canvas.Region(Chars({code}), WINDING);
            UniqueRgn marker = canvas.Region(Chars({kDoubleClickMarker}), WINDING);
            UniqueRgn united(CreateRectRgn(0, 0, 0, 0));
            CombineRgn(united.get(), frame.get(), marker.get(), RGN_OR);
            EXPECT_TRUE(SamePixels(alternate.get(), united.get()));
        }
    }
}

TEST_F(DisplayFontTest, KeyCapsShareOneHeightAndBaselineWithGapsAndCutOutLabels) {
    for (int points : {14, 64, 188}) {
        SCOPED_TRACE(points);
        DisplayFont font = CreateDisplayFont(points);
        Canvas canvas(font.font.get(), 1200, 500);
        const RECT a = Box(canvas.Region("a", ALTERNATE).get());
        ASSERT_LT(a.top, a.bottom);
        const int oneUnit = canvas.Advance("a");
        for (unsigned char code : kKeyCapCodes) {
            SCOPED_TRACE(static_cast<int>(code));
            const std::string cap = Chars({code});
            UniqueRgn region = canvas.Region(cap, ALTERNATE);
            ASSERT_TRUE(region);
            const RECT box = Box(region.get());
            EXPECT_EQ(box.top, a.top);
            EXPECT_EQ(box.bottom, a.bottom);
            // A gap on either side keeps neighbouring caps apart.
            EXPECT_GT(box.left, 0);
            EXPECT_LT(box.right, canvas.Advance(cap));
            if (code == kBlankCap) {
                EXPECT_EQ(RowsWithHoles(region.get()), 0) << "the blank cap has no label";
                EXPECT_EQ(canvas.Advance(cap), oneUnit) << "a blank cap is as wide as a letter's";
            } else {
                EXPECT_GT(RowsWithHoles(region.get()), 0) << "the label is cut out of the cap";
            }
        }
        for (unsigned char wide : {kSpaceCap, kEnterCap, kBackspaceCap, kShiftCap, kCapsLockCap, kTabCap})
            EXPECT_GT(canvas.Advance(Chars({wide})), oneUnit * 5 / 4) << static_cast<int>(wide);
        // A row of caps stays a row of separate caps.
        const std::string row = Chars({kCtrlCap, kAltCap, kShiftCap, 's'});
        UniqueRgn rowRegion = canvas.Region(row, ALTERNATE);
        int x = 0;
        for (char c : row) {
            x += canvas.Advance(std::string(1, c));
            if (x == canvas.Advance(row)) break;
            RECT between{x - 1, a.top, x + 1, a.bottom};
            EXPECT_FALSE(RectInRegion(rowRegion.get(), &between)) << "caps touch at x = " << x;
        }
    }
}

// Overlapping or wrongly wound contours would give a different shape under the two fill modes.
TEST_F(DisplayFontTest, EveryGlyphGivesTheSameRegionUnderEitherFillMode) {
    const std::string codes = AllDisplayCodes();
    for (int points : {14, 64, 188}) {
        SCOPED_TRACE(points);
        DisplayFont font = CreateDisplayFont(points);
        Canvas canvas(font.font.get(), 8, 8);
        for (char code : codes) {
            SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(code)));
            UniqueRgn alternate = canvas.Region(std::string(1, code), ALTERNATE);
            UniqueRgn winding = canvas.Region(std::string(1, code), WINDING);
            ASSERT_TRUE(alternate && winding);
            EXPECT_TRUE(SamePixels(alternate.get(), winding.get()));
        }
    }
}

TEST_F(DisplayFontTest, ClockDigitsAreAsWideAsTheirKeyCapsAndEachOther) {
    for (int points : {14, 24, 64, 188}) {
        SCOPED_TRACE(points);
        DisplayFont font = CreateDisplayFont(points);
        Canvas canvas(font.font.get(), 8, 8);
        const int digit = canvas.Advance(Chars({'0' + kClockGlyphOffset}));
        std::string text = "88:88:88", mapped;
        for (const char* p = kClockCharacters; *p; ++p) {
            SCOPED_TRACE(*p);
            const std::string clock = Chars({*p + kClockGlyphOffset});
            EXPECT_EQ(canvas.Advance(clock), canvas.Advance(std::string(1, *p)));
            if (*p != ':') {
                EXPECT_EQ(canvas.Advance(clock), digit) << "the clock must not jitter";
            }
        }
        for (char c : text) mapped += static_cast<char>(c + kClockGlyphOffset);
        EXPECT_EQ(canvas.Advance(mapped), canvas.Advance(text));
    }
}
