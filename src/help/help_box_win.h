#pragma once
// The quick help box: a small modal window with a title, a body that it wraps and sizes itself
// around, an optional More Information command and an optional "Don't Show This Message Again."
// choice remembered per message as "Dismiss_" + name in the per-user key.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/unique_handle_win.h"
#include "core/window_win.h"
#include "help/help_box_layout.h"

namespace spotlex {

// Control identifiers, for the tests and for anyone who drives the box.
enum HelpBoxControl : int {
    kHelpTitle = 101,
    kHelpBody = 102,
    kHelpMoreInfo = 103,
    kHelpShowMoreInfo = 104,
    kHelpShowAgain = 105,
    kHelpDontShow = 106,
};

class frmHelpBox : public Window {
public:
    static constexpr const char* kClassName = "SpotlexHelpBox";
    // The designed width, in twips; Explain's Width of -1 keeps it.
    static constexpr std::int32_t kDesignedWidth = 4800;

    // The window is made by Explain, when the message is to be shown.
    frmHelpBox() = default;

    // Shows the box modally and returns when it has been closed; returns at once when the message
    // named dialogName was dismissed for good. dlgWidth is in twips.
    void Explain(const std::string& title, const std::string& body, const std::string& caption = "",
                 const std::string& dialogName = "", HWND animateFromHwnd = nullptr,
                 std::int32_t dlgWidth = -1, const std::string& showMoreCaption = "",
                 const std::string& showMoreCommand = "") noexcept;

    bool OfferDontShow = false;
    bool DontShowAgain = false;
    HWND AnimateFromHwnd = nullptr;

    const HelpBoxLayout& Layout() const noexcept { return layout_; }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Load();
    // Fonts and the designed places and sizes, at dpi_.
    void ScaleControls();
    void Unload() noexcept;
    void ShowModal();
    void lblBody_Change() noexcept;
    void chkShowAgain_Click() noexcept;
    void lblDontShow_Click() noexcept;
    void cmdMoreInfo_Click() noexcept;
    bool Form_KeyUp(const MSG& msg) noexcept;
    HWND Item(int id) const noexcept { return GetDlgItem(hwnd_, id); }

    UniqueFont titleFont_;
    UniqueFont bodyFont_;
    std::string command_;  // the More Information button's tag
    int dpi_ = 96;         // the scale of the monitor the box is on
    std::int32_t widthTwips_ = 0;  // as designed, or as Explain was asked
    int widthPx_ = 0;
    HelpBoxLayout layout_;
};

// What callers create: owns one frmHelpBox, loaded with the object and unloaded with it.
class CHelpBox {
public:
    CHelpBox();
    ~CHelpBox();
    CHelpBox(const CHelpBox&) = delete;
    CHelpBox& operator=(const CHelpBox&) = delete;

    void Explain(const std::string& title, const std::string& body, const std::string& caption = "",
                 const std::string& dialogName = "", HWND animateFromHwnd = nullptr, std::int32_t width = -1,
                 const std::string& showMoreCaption = "", const std::string& showMoreCommand = "") noexcept;

    frmHelpBox& Form() noexcept { return *form_; }

private:
    std::unique_ptr<frmHelpBox> form_;
};

}  // namespace spotlex
