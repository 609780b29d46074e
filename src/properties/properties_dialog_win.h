#pragma once
// frmProperties ("Spotlex Properties..."): every display setting on three pages, with live samples
// in the display font and quick help. It edits a copy of the settings; OK writes the registry and
// leaves the edited value for the opener, which hands it to the live displays and unloads the
// dialog, which zooms back into the tray.
#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/dialog_win.h"
#include "core/settings.h"
#include "core/unique_handle_win.h"
#include "properties/properties_logic.h"

namespace spotlex {

class frmProperties : public ModalDialog {
public:
    enum ItemId : int {
        optPropType0 = 101,  // + page 0 to 3
        picBand = 105,
        fraMouse = 110,
        fraKeyboard,
        fraClock,
        fraSoundEffects,
        fraExtras,
        cboColorMouse = 120,
        cboColorRightMouse,
        hsbSizeMouse,
        picSampleMouse,
        chkShowWheel,
        cboColorKeyboard = 130,
        hsbSizeKeyboard,
        txtDelayKeyboard,
        vsbDelayKeyboard,
        chkShowShifted,
        cmdFilterKeyboard,
        picSampleKeyboard,
        chkFollowPointer,
        optClockType0 = 140,  // + 0 clock, 1 timer
        txtStartClock = 142,
        vsbStartClock,
        chkShowSeconds,
        cboColorClock,
        hsbSizeClock,
        picSampleClock,
        chkPlaySounds = 150,
        cmdExplain0 = 160,  // + the topic's place in kExplainTopics
        txtWarningClock = 180,
        vsbWarningClock,
        cboColorWarningClock,
        HotKeyPause = 185,
        txtResumeMinutes,
        vsbResumeMinutes,
        kFirstLabel = 200,
    };
    static constexpr const char* kCaption = "Spotlex Properties...";

    // Form_Load: shows `shown`, as LoadSettings reads it. `iconLibrary` is the suite's icon library,
    // for the page and help pictures (none when empty or missing).
    explicit frmProperties(const SpotlexSettings& shown, const std::string& iconLibrary = {});
    // Unloading zooms the dialog back into the tray.
    ~frmProperties() override;

    int PropType() const;
    void SetPropType(int newType);
    // After OK, the settings as the presenter left them, already written; empty after Cancel and
    // the close box.
    const std::optional<SpotlexSettings>& Result() const noexcept { return result_; }

    HWND ExplainButton(ExplainTopic topic) const;

    // The pages, in the order of their buttons.
    static constexpr int kPageCount = 4;
    // The colour lists, in their loading order.
    static constexpr std::array<int, 5> kColorLists{cboColorMouse, cboColorRightMouse, cboColorKeyboard,
                                                    cboColorClock, cboColorWarningClock};

protected:
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnHelpKey(HWND control) override;

private:
    struct Placed {
        int id;
        int page;  // -1: on every page
    };

    void FormLoad(const SpotlexSettings& shown, const std::string& iconLibrary);
    void LoadPictures(const std::string& iconLibrary);
    void LoadColorList(int comboId, std::int32_t storedPosition, std::int32_t storedColor);
    void SetSlider(int id, std::int32_t value);
    void SetBoxText(int id, const std::string& text);
    void CouplingFromText(int textId, int spinId);
    void txtStartClock_Change();
    void txtDelayKeyboard_LostFocus();
    // The warning and resume minutes, corrected to their settings' bounds.
    void CorrectMinutesBox(int id);
    std::int32_t PauseHotKey() const;
    void optClockType_Click(int index);
    void cmdOK_Click();
    void Cancel();
    void cmdFilterKeyboard_Click();
    void Explain(ExplainTopic topic);
    void MeasureColorItem(MEASUREITEMSTRUCT& mi) const;
    void DrawColorItem(const DRAWITEMSTRUCT& di) const;
    void DrawSample(const DRAWITEMSTRUCT& di) const;
    void RedrawSample(int id) const;
    std::int32_t SelectedColor(int comboId) const;
    std::int32_t ColorPosition(int comboId) const;
    std::int32_t SliderValue(int sliderId) const;
    std::int32_t DelayValue() const;
    bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

    std::vector<Placed> placed_;
    SpotlexSettings shown_;
    std::optional<SpotlexSettings> result_;
    bool correcting_ = false;
    std::vector<UniqueIcon> icons_;
    std::vector<HIMAGELIST> imageLists_;
};

}  // namespace spotlex
