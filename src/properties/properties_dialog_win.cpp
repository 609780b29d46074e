#include "properties/properties_dialog_win.h"

#include <memory>

#include "core/animated_rect_win.h"
#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/sound_win.h"
#include "core/tip_helper_win.h"
#include "core/wide_text_win.h"
#include "core/window_helpers_win.h"
#include "help/help_box_win.h"
#include "keystrokes/key_filter_dialog_win.h"
#include "keystrokes/key_filter_entries.h"
#include "keystrokes/key_naming.h"

namespace spotlex {

namespace {

constexpr const char* kModule = "frmProperties";

// The sliders' ranges: the keystroke and click sliders end at 144, the clock's at the font's 188.
constexpr int kSliderMin = kFontSizeMin;
constexpr int kSliderMax = 144;

// The help picture's icon group in the suite's icon library (its index plus one).
constexpr int kHelpIcon = 20;

// The click sample shows two bursts this far either side of the middle.
constexpr int kMouseSampleOffsetTwips = 904;
// Glyphs of the display font that stand for each display.
constexpr unsigned char kBurstFirst = 130, kBurstLast = 134;
constexpr unsigned char kClockGlyph = 218;

// One row per page: its button and frame, the controls whose changes redraw its sample, and how
// the sample is drawn.
struct Page {
    const char* button;
    int icon;  // icon group in the suite's icon library (its index plus one)
    int frame;
    const char* frameTitle;
    int colorList;
    int slider;
    int sliderMax;
    int sample;
    unsigned char glyph;  // measures the sample; the keys and the clock also draw it
    double d;             // the sample's height divisor, as SampleFitSize takes it
    const char* procedure;
};
using P = frmProperties;
constexpr Page kPages[3] = {
    {"&Mouse Clicks", 56, P::fraMouse, "Mouse Click Display", P::cboColorMouse, P::hsbSizeMouse, kSliderMax,
     P::picSampleMouse, kBurstLast, 1.91, "ShowMouseSample"},
    {"&Key Strokes", 58, P::fraKeyboard, "Key Stoke Display", P::cboColorKeyboard, P::hsbSizeKeyboard,
     kSliderMax, P::picSampleKeyboard, 'a', 1.49, "ShowKeySample"},
    {"&Break Clock", 59, P::fraClock, "Break Clock Display", P::cboColorClock, P::hsbSizeClock, kFontSizeMax,
     P::picSampleClock, kClockGlyph, 0.9, "ShowClockSample"},
};

// The Extras page has no sample: only its button and frame.
constexpr int kExtrasPage = 3;
constexpr int kExtrasIcon = 29;

// The number boxes with their spins, and the setting whose bounds correct a box on leaving.
struct NumberBox {
    int box;
    int spin;
    const NumberSetting* setting;  // null: the box has a correction of its own
};
constexpr NumberBox kNumberBoxes[] = {
    {P::txtDelayKeyboard, P::vsbDelayKeyboard, nullptr},
    {P::txtStartClock, P::vsbStartClock, nullptr},
    {P::txtWarningClock, P::vsbWarningClock, &settings::kClockWarningMinutes},
    {P::txtResumeMinutes, P::vsbResumeMinutes, &settings::kPauseResumeMinutes},
};
const NumberBox* BoxOf(int id) {
    for (const NumberBox& b : kNumberBoxes)
        if (b.box == id || b.spin == id) return &b;
    return nullptr;
}

// The page a colour list, slider or sample belongs to; -1 for any other control.
int PageOf(int id) {
    if (id == P::cboColorRightMouse) return 0;
    if (id == P::cboColorWarningClock) return 2;
    for (int i = 0; i < 3; ++i)
        if (id == kPages[i].colorList || id == kPages[i].slider || id == kPages[i].sample) return i;
    return -1;
}

// Where the explain button of each topic sits in the explain array.
int ExplainIndex(ExplainTopic topic) {
    for (size_t i = 0; i < kExplainTopics.size(); ++i)
        if (kExplainTopics[i] == topic) return static_cast<int>(i);
    return 0;
}

std::int32_t ComboData(HWND combo, LRESULT at) {
    return static_cast<std::int32_t>(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

}  // namespace

frmProperties::frmProperties(const SpotlexSettings& shown, const std::string& iconLibrary) : shown_(shown) {
    // Layout in dialog units: a band with the page buttons, OK and Cancel beside it, one page
    // frame below, and the sound effects under that. The colour row and the size row sit at the
    // same height on every page, so their explain buttons serve all three.
    DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 310, 307);
    int label = kFirstLabel;
    auto add = [&](int page, WORD atom, const char* text, int id, DWORD style, short x, short y, short cx,
                   short cy) {
        if (id < 0) id = label++;
        t.Item(atom, text, id, style, x, y, cx, cy);
        placed_.push_back({id, page});
    };
    auto addClass = [&](int page, const char* cls, int id, DWORD style, short x, short y, short cx,
                        short cy) {
        t.Item(cls, "", id, style, x, y, cx, cy);
        placed_.push_back({id, page});
    };
    auto caption = [&](int page, const char* text, short x, short y, short cx) {
        add(page, kStaticAtom, text, -1, SS_LEFT, x, y, cx, 8);
    };
    auto explain = [&](int page, ExplainTopic topic, short x, short y) {
        add(page, kButtonAtom, "?", cmdExplain0 + ExplainIndex(topic), BS_PUSHBUTTON | WS_TABSTOP, x, y, 14,
            14);
    };
    auto colorList = [&](int page, int id, short y) {
        add(page, kComboBoxAtom, "", id,
            CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 98, y, 112,
            160);
    };
    auto slider = [&](int page, int id, short y) {
        addClass(page, TRACKBAR_CLASSA, id, TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP, 94, y - 2,
                 120, 18);
    };

    add(-1, kStaticAtom, "", picBand, SS_OWNERDRAW, 11, 7, 229, 58);
    for (int i = 0; i < kPageCount; ++i)
        add(-1, kButtonAtom, i < 3 ? kPages[i].button : "E&xtras", optPropType0 + i,
            BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_BOTTOM | BS_MULTILINE |
                (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
            static_cast<short>(16 + 56 * i), 15, 52, 42);
    add(-1, kButtonAtom, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 250, 7, 53, 16);
    add(-1, kButtonAtom, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 250, 28, 53, 16);

    // Rows of a page: colour, then a page's own row, then size, then the rest.
    constexpr short rowA = 86, rowB = 106, rowC = 126, rowD = 146, rowE = 160, sampleTop = 178;
    for (int i = 0; i < 3; ++i)
        add(i, kButtonAtom, kPages[i].frameTitle, kPages[i].frame, BS_GROUPBOX, 11, 70, 229, 184);
    add(kExtrasPage, kButtonAtom, "Extras", fraExtras, BS_GROUPBOX, 11, 70, 229, 184);
    auto numberBox = [&](int page, int box, int spin, short x, short y, short cx) {
        add(page, kEditAtom, "", box, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, x, y, cx,
            13);
        addClass(page, UPDOWN_CLASSA, spin, UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                 0, 0, 0, 0);
    };
    explain(-1, ExplainTopic::Color, 218, rowA - 1);
    explain(-1, ExplainTopic::Size, 218, rowC - 1);

    caption(0, "Primary Click &Color:", 20, rowA + 2, 76);
    colorList(0, cboColorMouse, rowA);
    caption(0, "S&econdary Click Color:", 20, rowB + 2, 76);
    colorList(0, cboColorRightMouse, rowB);
    caption(0, "&Size:", 20, rowC + 2, 70);
    slider(0, hsbSizeMouse, rowC);
    caption(0, "Sample:", 20, sampleTop, 40);
    // Hidden until the values are loaded, so it is not drawn half-way.
    t.Item(kStaticAtom, "", picSampleMouse, SS_OWNERDRAW | WS_BORDER, 62, sampleTop, 150, 72, true);
    placed_.push_back({picSampleMouse, 0});
    add(0, kButtonAtom, "Show &Wheel Turns", chkShowWheel, BS_AUTOCHECKBOX | WS_TABSTOP, 20, rowD + 2, 100,
        10);
    explain(0, ExplainTopic::MouseWheel, 218, rowD);

    caption(1, "&Color:", 20, rowA + 2, 70);
    colorList(1, cboColorKeyboard, rowA);
    caption(1, "&Delay (ms.)", 20, rowB + 2, 70);
    add(1, kEditAtom, "", txtDelayKeyboard, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 98, rowB, 50,
        13);
    addClass(1, UPDOWN_CLASSA, vsbDelayKeyboard,
             UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0);
    explain(1, ExplainTopic::KeystrokeDelay, 218, rowB - 1);
    caption(1, "&Size:", 20, rowC + 2, 70);
    slider(1, hsbSizeKeyboard, rowC);
    add(1, kButtonAtom, "S&how Shifted Keys", chkShowShifted, BS_AUTOCHECKBOX | WS_TABSTOP, 20, rowD + 2, 100,
        10);
    explain(1, ExplainTopic::ShiftedKeys, 122, rowD);
    add(1, kButtonAtom, "&Follow the Pointer", chkFollowPointer, BS_AUTOCHECKBOX | WS_TABSTOP, 20, rowE + 3,
        100, 10);
    explain(1, ExplainTopic::FollowPointer, 122, rowE + 1);
    add(1, kButtonAtom, "Key Filter", cmdFilterKeyboard, BS_PUSHBUTTON | WS_TABSTOP, 150, rowD, 62, 14);
    explain(1, ExplainTopic::KeyFilter, 218, rowD);
    caption(1, "Sample:", 20, sampleTop, 40);
    add(1, kStaticAtom, "", picSampleKeyboard, SS_OWNERDRAW | WS_BORDER, 62, sampleTop, 80, 72);

    caption(2, "&Color:", 20, rowA + 2, 70);
    colorList(2, cboColorClock, rowA);
    add(2, kButtonAtom, "Second &Hand", chkShowSeconds, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 20, rowB + 2,
        90, 10);
    explain(2, ExplainTopic::SecondHand, 218, rowB - 1);
    caption(2, "&Size:", 20, rowC + 2, 70);
    slider(2, hsbSizeClock, rowC);
    add(2, kButtonAtom, "Display Cloc&k", optClockType0, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 20,
        rowD + 2, 72, 10);
    add(2, kButtonAtom, "Display &Timer", optClockType0 + 1, BS_AUTORADIOBUTTON, 20, rowE + 2, 72, 10);
    // The minutes box stands beside the timer it sets.
    add(2, kEditAtom, "", txtStartClock, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP, 98,
        rowE, 40, 13);
    addClass(2, UPDOWN_CLASSA, vsbStartClock,
             UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0);
    caption(2, "(in Minutes)", 142, rowE + 2, 60);
    explain(2, ExplainTopic::ClockVsTimer, 218, rowD);
    caption(2, "Sample:", 20, sampleTop, 40);
    add(2, kStaticAtom, "", picSampleClock, SS_OWNERDRAW | WS_BORDER, 62, sampleTop, 80, 72);
    // The count-down's warning stands beside the sample: minutes left, then its colour.
    caption(2, "&Warning at", 150, sampleTop + 2, 60);
    explain(2, ExplainTopic::ClockWarning, 218, sampleTop);
    numberBox(2, txtWarningClock, vsbWarningClock, 150, sampleTop + 14, 32);
    caption(2, "min. left", 186, sampleTop + 16, 30);
    add(2, kComboBoxAtom, "", cboColorWarningClock,
        CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP, 150, sampleTop + 32,
        82, 160);

    caption(kExtrasPage, "&Pause Key:", 20, rowA + 2, 70);
    addClass(kExtrasPage, HOTKEY_CLASSA, HotKeyPause, WS_BORDER | WS_TABSTOP | WS_GROUP, 98, rowA, 112, 14);
    explain(kExtrasPage, ExplainTopic::PauseKey, 218, rowA - 1);
    caption(kExtrasPage, "&Resume After:", 20, rowB + 2, 70);
    numberBox(kExtrasPage, txtResumeMinutes, vsbResumeMinutes, 98, rowB, 40);
    caption(kExtrasPage, "minutes (0 = never)", 142, rowB + 2, 70);

    add(-1, kButtonAtom, "Sound Effects", fraSoundEffects, BS_GROUPBOX, 11, 260, 229, 40);
    add(-1, kButtonAtom, "Play &Sound Effects", chkPlaySounds, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 20,
        277, 150, 10);
    explain(-1, ExplainTopic::SoundEffects, 218, 275);

    Create(t, nullptr);
    FormLoad(shown, iconLibrary);
}

frmProperties::~frmProperties() {
    if (hwnd_) AnimatedZoom(hwnd_, TaskbarTrayHwnd(), false);
    // The buttons go with the dialog in the base destructor; their image lists are ours.
    if (hwnd_)
        for (int i = 0; i < kPageCount; ++i) {
            BUTTON_IMAGELIST none{};
            none.himl = nullptr;
            SendMessageA(Item(optPropType0 + i), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&none));
        }
    for (HIMAGELIST list : imageLists_) ImageList_Destroy(list);
}

void frmProperties::FormLoad(const SpotlexSettings& shown, const std::string& iconLibrary) {
    auto step = [](auto&& f) { LogAndContinue(kModule, "Form_Load", f); };
    loading_ = true;
    step([&] { CenterForm(hwnd_); });
    step([&] {
        for (size_t i = 0; i < kExplainTopics.size(); ++i)
            goTipHelper.AddTool(Item(cmdExplain0 + static_cast<int>(i)), kQuickHelpTip);
    });
    step([&] { LoadPictures(iconLibrary); });
    step([&] {
        for (int id : kColorLists) {
            HWND combo = Item(id);
            for (const ColorEntry& e : kColorEntries) {
                const auto at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.text));
                SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), e.color);
            }
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
        }
    });
    step([&] {
        for (const Page& page : kPages) {
            HWND bar = Item(page.slider);
            SendMessageA(bar, TBM_SETRANGEMIN, FALSE, kSliderMin);
            SendMessageA(bar, TBM_SETRANGEMAX, FALSE, page.sliderMax);
            SendMessageA(bar, TBM_SETLINESIZE, 0, 1);
            SendMessageA(bar, TBM_SETPAGESIZE, 0, 10);
            SendMessageA(bar, TBM_SETTICFREQ, 10, 0);
        }
        SendMessageA(Item(vsbDelayKeyboard), UDM_SETRANGE32, 100, 10000);
        UDACCEL delayStep{0, 100};
        SendMessageA(Item(vsbDelayKeyboard), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&delayStep));
        SendMessageA(Item(vsbStartClock), UDM_SETRANGE32, 1, 480);
        for (const NumberBox& b : kNumberBoxes)
            if (b.setting) SendMessageA(Item(b.spin), UDM_SETRANGE32, b.setting->min, b.setting->max);
    });
    step([&] { SetPropType(shown.page); });
    step([&] { CheckDlgButton(hwnd_, chkPlaySounds, shown.sound.play ? BST_CHECKED : BST_UNCHECKED); });

    step([&] { CheckDlgButton(hwnd_, chkShowWheel, shown.burst.showWheel ? BST_CHECKED : BST_UNCHECKED); });
    step([&] { SetBoxText(txtWarningClock, std::to_string(shown.clock.warningMinutes)); });
    step([&] {
        LoadColorList(cboColorWarningClock, shown.clock.warningColorEntry, shown.clock.warningColor);
    });
    step([&] {
        const int mask = (shown.pause.hotKey >> 16) & 0xFFFF;
        SendMessageA(Item(HotKeyPause), HKM_SETHOTKEY,
                     MAKEWORD(shown.pause.hotKey & 0xFF, MaskToHotKeyFlags(mask)), 0);
    });
    step([&] { SetBoxText(txtResumeMinutes, std::to_string(shown.pause.resumeMinutes)); });

    step([&] { SetBoxText(txtDelayKeyboard, std::to_string(shown.keys.delayMs)); });
    step([&] { LoadColorList(cboColorKeyboard, shown.keys.colorEntry, shown.keys.color); });
    step([&] { SetSlider(hsbSizeKeyboard, shown.keys.size); });
    step(
        [&] { CheckDlgButton(hwnd_, chkShowShifted, shown.keys.showShifted ? BST_CHECKED : BST_UNCHECKED); });
    step([&] {
        CheckDlgButton(hwnd_, chkFollowPointer, shown.keys.followPointer ? BST_CHECKED : BST_UNCHECKED);
    });

    step([&] { LoadColorList(cboColorMouse, shown.burst.leftColorEntry, shown.burst.leftColor); });
    step([&] { LoadColorList(cboColorRightMouse, shown.burst.rightColorEntry, shown.burst.rightColor); });
    step([&] { SetSlider(hsbSizeMouse, shown.burst.size); });
    step([&] {
        CheckDlgButton(hwnd_, chkShowSeconds, shown.clock.showSeconds ? BST_CHECKED : BST_UNCHECKED);
    });

    step([&] {
        const int type = shown.clock.showAsClock ? 0 : 1;
        CheckRadioButton(hwnd_, optClockType0, optClockType0 + 1, optClockType0 + type);
        optClockType_Click(type);
    });
    step([&] { SetBoxText(txtStartClock, std::to_string(shown.clock.startMinutes)); });
    step([&] { LoadColorList(cboColorClock, shown.clock.colorEntry, shown.clock.color); });
    step([&] { SetSlider(hsbSizeClock, shown.clock.size); });
    loading_ = false;
    step([&] { ShowWindow(Item(picSampleMouse), PropType() == 0 ? SW_SHOW : SW_HIDE); });
}

void frmProperties::LoadPictures(const std::string& iconLibrary) {
    if (iconLibrary.empty()) return;
    HMODULE library = LoadLibraryExW(Wide(iconLibrary).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!library) return;
    // Picture sizes follow the dialog's own scale: the page pictures are 32 pixels at 100 %.
    RECT unit{0, 0, 4, 8};
    MapDialogRect(hwnd_, &unit);
    const int pagePx = MulDiv(unit.bottom, 32, 13);
    const int smallPx = MulDiv(unit.bottom, 16, 13);
    for (int i = 0; i < kPageCount; ++i) {
        const int group = i < 3 ? kPages[i].icon : kExtrasIcon;
        HICON icon =
            static_cast<HICON>(LoadImageA(library, MAKEINTRESOURCEA(group), IMAGE_ICON, pagePx, pagePx, 0));
        if (!icon) continue;
        icons_.emplace_back(icon);
        HIMAGELIST list = ImageList_Create(pagePx, pagePx, ILC_COLOR32 | ILC_MASK, 1, 0);
        if (!list) continue;
        imageLists_.push_back(list);
        ImageList_AddIcon(list, icon);
        BUTTON_IMAGELIST bil{};
        bil.himl = list;
        bil.margin = RECT{2, 4, 2, 0};
        bil.uAlign = BUTTON_IMAGELIST_ALIGN_TOP;
        SendMessageA(Item(optPropType0 + i), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&bil));
    }
    HICON help =
        static_cast<HICON>(LoadImageA(library, MAKEINTRESOURCEA(kHelpIcon), IMAGE_ICON, smallPx, smallPx, 0));
    if (help) {
        icons_.emplace_back(help);
        for (size_t i = 0; i < kExplainTopics.size(); ++i) {
            HWND button = Item(cmdExplain0 + static_cast<int>(i));
            SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | BS_ICON);
            SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(help));
        }
    }
    FreeLibrary(library);
}

void frmProperties::LoadColorList(int comboId, std::int32_t storedPosition, std::int32_t storedColor) {
    HWND combo = Item(comboId);
    const ColorChoice choice = ChooseColorEntry(storedPosition, storedColor);
    if (choice.addCustom) {
        const std::string text = CustomColorText(storedColor);
        const auto at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), storedColor);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    } else {
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(choice.position), 0);
    }
    RedrawSample(kPages[PageOf(comboId)].sample);
}

void frmProperties::SetSlider(int id, std::int32_t value) {
    // The slider shows a stored size beyond its end at that end.
    SendMessageA(Item(id), TBM_SETPOS, TRUE, value);
    RedrawSample(kPages[PageOf(id)].sample);
}

void frmProperties::SetBoxText(int id, const std::string& text) {
    SetDlgItemTextA(hwnd_, id, text.c_str());
    CouplingFromText(id, BoxOf(id)->spin);
}

int frmProperties::PropType() const {
    int type = 0;
    for (int i = 0; i < kPageCount; ++i)
        if (IsDlgButtonChecked(hwnd_, optPropType0 + i) == BST_CHECKED) type = i;
    return type;
}

void frmProperties::SetPropType(int newType) {
    try {
        if (newType < 0 || newType >= kPageCount) return;
        CheckRadioButton(hwnd_, optPropType0, optPropType0 + kPageCount - 1, optPropType0 + newType);
        for (const Placed& p : placed_) {
            if (p.page < 0) continue;
            if (p.id == picSampleMouse && loading_) continue;
            ShowWindow(Item(p.id), p.page == newType ? SW_SHOW : SW_HIDE);
        }
        // The colour and size rows, and so their help, are on the display pages only.
        for (ExplainTopic shared : {ExplainTopic::Color, ExplainTopic::Size})
            ShowWindow(ExplainButton(shared), newType < kExtrasPage ? SW_SHOW : SW_HIDE);
        if (newType < kExtrasPage) RedrawSample(kPages[newType].sample);
    } catch (...) {
        LogCurrentException(kModule, "PropType [Property Let]");
    }
}

std::int32_t frmProperties::SelectedColor(int comboId) const {
    HWND combo = Item(comboId);
    const auto at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (at == CB_ERR) return 0;
    return ComboData(combo, at);
}

std::int32_t frmProperties::ColorPosition(int comboId) const {
    return static_cast<std::int32_t>(SendMessageA(Item(comboId), CB_GETCURSEL, 0, 0));
}

std::int32_t frmProperties::SliderValue(int sliderId) const {
    return static_cast<std::int32_t>(SendMessageA(Item(sliderId), TBM_GETPOS, 0, 0));
}

std::int32_t frmProperties::DelayValue() const {
    return BoxNumber(CorrectDelayText(WindowText(Item(txtDelayKeyboard))));
}

void frmProperties::CouplingFromText(int textId, int spinId) {
    const std::int32_t v = BoxNumberOr(WindowText(Item(textId)), -1);
    int low = 0, high = 0;
    SendMessageA(Item(spinId), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    if (v >= low && v <= high) SendMessageA(Item(spinId), UDM_SETPOS32, 0, v);
}

void frmProperties::txtStartClock_Change() {
    if (correcting_) return;
    try {
        const std::string text = WindowText(Item(txtStartClock));
        const std::string corrected = CorrectMinutesText(text);
        if (corrected != text) {
            correcting_ = true;
            SetDlgItemTextA(hwnd_, txtStartClock, corrected.c_str());
            SendMessageA(Item(txtStartClock), EM_SETSEL, corrected.size(), corrected.size());
            correcting_ = false;
        }
        CouplingFromText(txtStartClock, vsbStartClock);
    } catch (...) {
        correcting_ = false;
        LogCurrentException(kModule, "txtStartClock_Change");
    }
}

void frmProperties::txtDelayKeyboard_LostFocus() {
    try {
        const std::string text = WindowText(Item(txtDelayKeyboard));
        const std::string corrected = CorrectDelayText(text);
        if (corrected != text) SetDlgItemTextA(hwnd_, txtDelayKeyboard, corrected.c_str());
        CouplingFromText(txtDelayKeyboard, vsbDelayKeyboard);
    } catch (...) {
        LogCurrentException(kModule, "txtDelayKeyboard_LostFocus");
    }
}

void frmProperties::CorrectMinutesBox(int id) {
    try {
        const std::string text = WindowText(Item(id));
        const std::string corrected = CorrectSettingText(text, *BoxOf(id)->setting);
        if (corrected != text) SetDlgItemTextA(hwnd_, id, corrected.c_str());
        CouplingFromText(id, BoxOf(id)->spin);
    } catch (...) {
        LogCurrentException(kModule, "cmdOK_Click");
    }
}

std::int32_t frmProperties::PauseHotKey() const {
    const auto value = SendMessageA(Item(HotKeyPause), HKM_GETHOTKEY, 0, 0);
    const int vk = LOBYTE(LOWORD(value));
    if (vk == 0) return 0;
    return MakeLong(HotKeyFlagsToMask(HIBYTE(LOWORD(value))), vk);
}

void frmProperties::optClockType_Click(int index) {
    EnableWindow(Item(txtStartClock), index == 1);
    EnableWindow(Item(vsbStartClock), index == 1);
}

void frmProperties::cmdOK_Click() {
    // Enter in a box presses OK without leaving it: the boxes are corrected here as on leaving.
    txtDelayKeyboard_LostFocus();
    txtStartClock_Change();
    CorrectMinutesBox(txtWarningClock);
    CorrectMinutesBox(txtResumeMinutes);
    Hide();
    SpotlexSettings v = shown_;
    LogAndContinue(kModule, "cmdOK_Click", [&] {
        v.page = PropType();
        v.sound.play = Checked(chkPlaySounds);
        v.keys = {SelectedColor(cboColorKeyboard), ColorPosition(cboColorKeyboard),
                  SliderValue(hsbSizeKeyboard),    DelayValue(),
                  Checked(chkShowShifted),         Checked(chkFollowPointer)};
        v.burst = {SelectedColor(cboColorMouse),      ColorPosition(cboColorMouse),
                   SelectedColor(cboColorRightMouse), ColorPosition(cboColorRightMouse),
                   SliderValue(hsbSizeMouse),         Checked(chkShowWheel)};
        v.clock = {SelectedColor(cboColorClock),
                   ColorPosition(cboColorClock),
                   SliderValue(hsbSizeClock),
                   !Checked(optClockType0 + 1),
                   Checked(chkShowSeconds),
                   BoxNumber(WindowText(Item(txtStartClock))),
                   BoxNumber(WindowText(Item(txtWarningClock))),
                   SelectedColor(cboColorWarningClock),
                   ColorPosition(cboColorWarningClock)};
        v.pause = {PauseHotKey(), BoxNumber(WindowText(Item(txtResumeMinutes)))};
    });
    SaveSettings(v, kModule, "cmdOK_Click");
    result_ = v;
}

void frmProperties::Cancel() {
    result_.reset();
    Hide();
}

void frmProperties::cmdFilterKeyboard_Click() {
    try {
        frmKeyFilter filter(hwnd_);
        filter.ShowModal();
    } catch (...) {
        LogCurrentException(kModule, "cmdFilterKeyboard_Click");
    }
}

HWND frmProperties::ExplainButton(ExplainTopic topic) const {
    return Item(cmdExplain0 + ExplainIndex(topic));
}

void frmProperties::Explain(ExplainTopic topic) {
    static constexpr const char* kProcedures[] = {
        "cmdExplainClockVsTimer_Click",   "cmdExplainColor_Click",        "cmdExplainKeyFilter_Click",
        "cmdExplainKeyStrokeDelay_Click", "cmdExplainSecondHand_Click",   "cmdExplainShiftedKeys_Click",
        "cmdExplainSize_Click",           "cmdExplainSoundEffects_Click", "cmdExplainFollowPointer_Click",
        "cmdExplainClockWarning_Click",   "cmdExplainPauseKey_Click",     "cmdExplainMouseWheel_Click"};
    LogAndContinue(kModule, kProcedures[ExplainIndex(topic)], [&] {
        const HelpTopic help = TopicFor(topic);
        CHelpBox box;
        box.Explain(help.title, help.body, kQuickHelpCaption, "", ExplainButton(topic), -1, help.moreCaption,
                    help.moreCommand);
    });
}

void frmProperties::OnHelpKey(HWND control) {
    if (!control) return;
    switch (GetDlgCtrlID(control)) {
        case cboColorMouse:
        case cboColorRightMouse:
        case cboColorKeyboard:
        case cboColorClock:
            Explain(ExplainTopic::Color);
            break;
        case hsbSizeMouse:
        case hsbSizeKeyboard:
        case hsbSizeClock:
            Explain(ExplainTopic::Size);
            break;
        case optClockType0:
        case optClockType0 + 1:
        case txtStartClock:
        case vsbStartClock:
            Explain(ExplainTopic::ClockVsTimer);
            break;
        case chkShowSeconds:
            Explain(ExplainTopic::SecondHand);
            break;
        case txtDelayKeyboard:
        case vsbDelayKeyboard:
            Explain(ExplainTopic::KeystrokeDelay);
            break;
        case cmdFilterKeyboard:
            Explain(ExplainTopic::KeyFilter);
            break;
        case chkShowShifted:
            Explain(ExplainTopic::ShiftedKeys);
            break;
        case chkFollowPointer:
            Explain(ExplainTopic::FollowPointer);
            break;
        case chkPlaySounds:
            Explain(ExplainTopic::SoundEffects);
            break;
        case txtWarningClock:
        case vsbWarningClock:
        case cboColorWarningClock:
            Explain(ExplainTopic::ClockWarning);
            break;
        case HotKeyPause:
        case txtResumeMinutes:
        case vsbResumeMinutes:
            Explain(ExplainTopic::PauseKey);
            break;
        case chkShowWheel:
            Explain(ExplainTopic::MouseWheel);
            break;
        default:
            break;
    }
}

void frmProperties::RedrawSample(int id) const {
    if (HWND box = Item(id)) InvalidateRect(box, nullptr, TRUE);
}

void frmProperties::MeasureColorItem(MEASUREITEMSTRUCT& mi) const {
    RECT unit{0, 0, 4, 10};
    MapDialogRect(hwnd_, &unit);
    mi.itemHeight = static_cast<UINT>(unit.bottom);
}

void frmProperties::DrawColorItem(const DRAWITEMSTRUCT& di) const {
    if (di.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (di.itemState & ODS_SELECTED) != 0;
    FillRect(di.hDC, &di.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int h = di.rcItem.bottom - di.rcItem.top;
    const int pad = h / 6 + 1;
    RECT swatch{di.rcItem.left + pad + 1, di.rcItem.top + pad,
                di.rcItem.left + pad + 1 + (h - 2 * pad) * 3 / 2, di.rcItem.bottom - pad};
    UniqueBrush fill(CreateSolidBrush(static_cast<COLORREF>(ComboData(di.hwndItem, di.itemID))));
    FillRect(di.hDC, &swatch, fill.get());
    FrameRect(di.hDC, &swatch, GetSysColorBrush(COLOR_WINDOWTEXT));
    char text[64] = {};
    if (SendMessageA(di.hwndItem, CB_GETLBTEXTLEN, di.itemID, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(di.hwndItem, CB_GETLBTEXT, di.itemID, reinterpret_cast<LPARAM>(text));
    RECT tr = di.rcItem;
    tr.left = swatch.right + pad + 2;
    SetBkMode(di.hDC, TRANSPARENT);
    SetTextColor(di.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextA(di.hDC, text, -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (di.itemState & ODS_FOCUS) DrawFocusRect(di.hDC, &di.rcItem);
}

void frmProperties::DrawSample(const DRAWITEMSTRUCT& di) const {
    const int kind = PageOf(static_cast<int>(di.CtlID));
    const Page& page = kPages[kind];
    LogAndContinue(kModule, page.procedure, [&] {
        FillRect(di.hDC, &di.rcItem, GetSysColorBrush(COLOR_BTNFACE));
        int size = SliderValue(page.slider);
        if (size > kFontSizeMax) size = kFontSizeMax;
        const char measure = static_cast<char>(page.glyph);
        const double d = page.d;
        const int boxW = di.rcItem.right - di.rcItem.left, boxH = di.rcItem.bottom - di.rcItem.top;
        WindowDc screen(nullptr);
        const int offset =
            kind == 0 ? MulDiv(kMouseSampleOffsetTwips, GetDeviceCaps(screen.get(), LOGPIXELSX), 1440) : 0;
        auto widthAt = [&](const DisplayFont& f) {
            ScopedSelect measuring(di.hDC, f.font.get());
            SIZE extent{};
            GetTextExtentPoint32A(di.hDC, &measure, 1, &extent);
            return static_cast<double>(extent.cx);
        };
        DisplayFont font = CreateDisplayFont(size);
        // Without the display font the sample stays empty.
        if (!font.font || !font.isDisplayFace) return;
        double w = widthAt(font);
        // A size larger than the box is shown at the largest that fits, never cut off.
        const int fit = SampleFitSize(size, w, boxW, boxH, d, offset);
        if (fit != size) {
            font = CreateDisplayFont(fit);
            if (!font.font || !font.isDisplayFace) return;
            w = widthAt(font);
        }
        ScopedSelect sel(di.hDC, font.font.get());
        SetBkMode(di.hDC, TRANSPARENT);
        const int x = di.rcItem.left + static_cast<int>(boxW / 2.0 - w / 2.01);
        const int y = di.rcItem.top + static_cast<int>(boxH / 2.0 - w / d);
        if (kind == 0) {
            const char burst = static_cast<char>(kBurstFirst);
            SetTextColor(di.hDC, static_cast<COLORREF>(SelectedColor(cboColorMouse)));
            TextOutA(di.hDC, x - offset, y, &burst, 1);
            SetTextColor(di.hDC, static_cast<COLORREF>(SelectedColor(cboColorRightMouse)));
            TextOutA(di.hDC, x + offset, y, &burst, 1);
        } else {
            SetTextColor(di.hDC, static_cast<COLORREF>(SelectedColor(page.colorList)));
            TextOutA(di.hDC, x, y, &measure, 1);
        }
    });
}

INT_PTR frmProperties::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_MEASUREITEM: {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (mi->CtlType != ODT_COMBOBOX) return FALSE;
            MeasureColorItem(*mi);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (di->CtlType == ODT_COMBOBOX) {
                DrawColorItem(*di);
            } else if (di->CtlID == picBand) {
                FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNSHADOW));
            } else if (PageOf(static_cast<int>(di->CtlID)) >= 0) {
                DrawSample(*di);
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_HSCROLL: {
            const int page = PageOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
            if (page >= 0) RedrawSample(kPages[page].sample);
            return TRUE;
        }
        case WM_VSCROLL: {
            // A spin's arrow: its box follows.
            const NumberBox* box = BoxOf(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
            if (!box) return FALSE;
            const auto pos = SendMessageA(reinterpret_cast<HWND>(lp), UDM_GETPOS32, 0, 0);
            SetDlgItemTextA(hwnd_, box->box, std::to_string(pos).c_str());
            return TRUE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            if (id >= optPropType0 && id < optPropType0 + kPageCount && code == BN_CLICKED) {
                SetPropType(id - optPropType0);
            } else if ((id == optClockType0 || id == optClockType0 + 1) && code == BN_CLICKED) {
                optClockType_Click(id - optClockType0);
            } else if (code == CBN_SELCHANGE && PageOf(id) >= 0) {
                RedrawSample(kPages[PageOf(id)].sample);
            } else if (id == txtDelayKeyboard && code == EN_CHANGE) {
                CouplingFromText(txtDelayKeyboard, vsbDelayKeyboard);
            } else if (id == txtDelayKeyboard && code == EN_KILLFOCUS) {
                txtDelayKeyboard_LostFocus();
            } else if ((id == txtWarningClock || id == txtResumeMinutes) && code == EN_CHANGE) {
                CouplingFromText(id, BoxOf(id)->spin);
            } else if ((id == txtWarningClock || id == txtResumeMinutes) && code == EN_KILLFOCUS) {
                CorrectMinutesBox(id);
            } else if (id == txtStartClock && code == EN_CHANGE) {
                txtStartClock_Change();
            } else if (id == cmdFilterKeyboard && code == BN_CLICKED) {
                cmdFilterKeyboard_Click();
            } else if (id >= cmdExplain0 && id < cmdExplain0 + static_cast<int>(kExplainTopics.size()) &&
                       code == BN_CLICKED) {
                Explain(kExplainTopics[static_cast<size_t>(id - cmdExplain0)]);
            } else if (id == IDOK && code == BN_CLICKED) {
                cmdOK_Click();
            } else if (id == IDCANCEL) {
                Cancel();
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_CLOSE:
            // The close box is Cancel: nothing is written and no display changes.
            Cancel();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace spotlex
