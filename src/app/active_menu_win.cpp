#include "app/active_menu_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/tray_menu_items.h"
#include "core/file_paths.h"
#include "core/file_win.h"
#include "core/monitors_win.h"
#include "core/registry_watch_win.h"
#include "core/wide_text_win.h"

namespace spotlex {

namespace {

constexpr int kIconGap = 5;

bool IsFile(const std::string& path) {
    const DWORD attrs = GetFileAttributesW(Wide(path).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

void Build(HMENU menu, const TrayMenuItem* begin, const TrayMenuItem* end) {
    for (const TrayMenuItem* d = begin; d != end; ++d) {
        if (d->id == 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, MF_STRING, d->id, d->caption);
        }
    }
}

}  // namespace

std::string ExpandIconLocation(std::string_view location) {
    return ExpandLocationTokens(ExpandEnvironment(location), SystemDirectory(), WindowsDirectory());
}

UniqueBitmap IconToMenuBitmap(HICON icon, int cx, int cy) {
    if (!icon || cx <= 0 || cy <= 0) return {};
    void* bits = nullptr;
    UniqueBitmap bmp = CreateTopDownDib(cx, cy, 32, &bits);
    UniqueMemDc dc(CreateCompatibleDC(nullptr));
    if (!bmp || !dc || !bits) return {};

    // Drawn once on black and once on white: the black copy is the premultiplied colour, and the
    // difference tells the alpha. This works alike for alpha icons and for mask-only ones.
    const size_t count = static_cast<size_t>(cx) * static_cast<size_t>(cy);
    std::vector<std::uint32_t> onBlack(count);
    auto* px = static_cast<std::uint32_t*>(bits);
    {
        ScopedSelect sel(dc.get(), bmp.get());
        std::fill(px, px + count, 0x00000000u);
        DrawIconEx(dc.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
        GdiFlush();
        std::copy(px, px + count, onBlack.begin());
        std::fill(px, px + count, 0x00FFFFFFu);
        DrawIconEx(dc.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    for (size_t i = 0; i < count; ++i) {
        const std::uint32_t b = onBlack[i];
        const std::uint32_t w = px[i];
        int alpha = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int diff = static_cast<int>((w >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
            alpha = std::max(alpha, 255 - std::clamp(diff, 0, 255));
        }
        std::uint32_t out = static_cast<std::uint32_t>(alpha) << 24;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t c =
                std::min<std::uint32_t>((b >> shift) & 0xFF, static_cast<std::uint32_t>(alpha));
            out |= c << shift;
        }
        px[i] = out;
    }
    return bmp;
}

ActiveMenu::ActiveMenu() : popup_(CreatePopupMenu()), popupClock_(CreatePopupMenu()) {
    Build(popup_.get(), std::begin(kTrayPopupItems), std::end(kTrayPopupItems));
    Build(popupClock_.get(), std::begin(kTrayClockItems), std::end(kTrayClockItems));
    for (const TrayMenuItem& d : kTrayPopupItems)
        if (d.id) slots_.push_back({d.id, popup_.get(), d.caption});
    for (const TrayMenuItem& d : kTrayClockItems)
        if (d.id) slots_.push_back({d.id, popupClock_.get(), d.caption});
}

ActiveMenu::~ActiveMenu() = default;

void ActiveMenu::SetIconFile(std::string_view location) {
    location_ = location;
    libraryPath_.clear();
    const std::string expanded = ExpandIconLocation(location);
    const std::string name = expanded.substr(expanded.find_last_of("\\/") + 1);
    // The library ships beside the program; the suite's shared copy is the fallback.
    if (!name.empty() && IsFile(ProgramFolder() + name)) {
        libraryPath_ = ProgramFolder() + name;
    } else if (IsFile(expanded)) {
        libraryPath_ = expanded;
    }
    for (Registered& item : registered_) LoadBitmap(item);
    DressAll();
}

int ActiveMenu::IconSide() const {
    return iconSide_ > 0 ? iconSide_ : GetSystemMetrics(SM_CXSMICON);
}

void ActiveMenu::LoadBitmap(Registered& item) const {
    item.bitmap.reset();
    if (item.iconIndex < 0 || libraryPath_.empty()) return;
    const int cx = IconSide();
    const int cy = cx;
    HICON icon = nullptr;
    UINT id = 0;
    if (PrivateExtractIconsW(Wide(libraryPath_).c_str(), item.iconIndex, cx, cy, &icon, &id, 1, 0) != 1 || !icon)
        return;
    UniqueIcon owned(icon);
    item.bitmap = IconToMenuBitmap(owned.get(), cx, cy);
}

void ActiveMenu::AddItem(std::string_view caption, std::string_view key, int iconIndex) {
    auto same = std::find_if(registered_.begin(), registered_.end(),
                             [&](const Registered& r) { return r.caption == caption; });
    if (same == registered_.end()) same = registered_.insert(registered_.end(), Registered{});
    same->caption = caption;
    same->key = key;
    same->shown.clear();
    same->iconIndex = iconIndex;
    LoadBitmap(*same);
    DressAll();
}

void ActiveMenu::SetCaption(std::string_view key, std::string_view shownCaption) {
    for (Registered& r : registered_)
        if (!key.empty() && r.key == key) r.shown = shownCaption;
    DressAll();
}

const ActiveMenu::Registered* ActiveMenu::Match(std::string_view caption) const {
    for (const Registered& r : registered_)
        if (r.caption == caption) return &r;
    return nullptr;
}

const ActiveMenu::Registered* ActiveMenu::FindKey(std::string_view key) const {
    if (key.empty()) return nullptr;
    for (const Registered& r : registered_)
        if (r.key == key) return &r;
    return nullptr;
}

ActiveMenu::Slot* ActiveMenu::FindSlot(UINT id) {
    for (Slot& s : slots_)
        if (s.id == id) return &s;
    return nullptr;
}

const ActiveMenu::Slot* ActiveMenu::FindSlot(UINT id) const {
    return const_cast<ActiveMenu*>(this)->FindSlot(id);
}

void ActiveMenu::Dress(const Slot& slot) const {
    const Registered* r = Match(slot.caption);
    std::string text = slot.caption;
    HBITMAP bitmap = nullptr;
    if (r) {
        if (!r->shown.empty()) text = r->shown;
        bitmap = r->bitmap.get();
    }
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING | MIIM_BITMAP;
    mii.dwTypeData = text.data();
    mii.hbmpItem = bitmap ? HBMMENU_CALLBACK : nullptr;
    SetMenuItemInfoA(slot.menu, slot.id, FALSE, &mii);
}

void ActiveMenu::DressAll() const {
    for (const Slot& s : slots_) Dress(s);
}

void ActiveMenu::SetItemCaption(UINT id, std::string_view caption) {
    if (Slot* s = FindSlot(id)) {
        s->caption = caption;
        Dress(*s);
    }
}

std::string ActiveMenu::ShownCaption(UINT id) const {
    const Slot* s = FindSlot(id);
    if (!s) return {};
    char buf[256] = {};
    const int n = GetMenuStringA(s->menu, id, buf, sizeof buf, MF_BYCOMMAND);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

HBITMAP ActiveMenu::IconBitmap(UINT id) const {
    const Slot* s = FindSlot(id);
    const Registered* r = s ? Match(s->caption) : nullptr;
    return r ? r->bitmap.get() : nullptr;
}

void ActiveMenu::SetChecked(UINT id, bool checked) {
    if (const Slot* s = FindSlot(id))
        CheckMenuItem(s->menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool ActiveMenu::Checked(UINT id) const {
    const Slot* s = FindSlot(id);
    return s && (GetMenuState(s->menu, id, MF_BYCOMMAND) & MF_CHECKED);
}

void ActiveMenu::SetCheckedByKey(std::string_view key, bool checked) {
    if (const Registered* r = FindKey(key))
        for (const Slot& s : slots_)
            if (s.caption == r->caption) SetChecked(s.id, checked);
}

bool ActiveMenu::CheckedByKey(std::string_view key) const {
    if (const Registered* r = FindKey(key))
        for (const Slot& s : slots_)
            if (s.caption == r->caption) return Checked(s.id);
    return false;
}

void ActiveMenu::SetEnabled(UINT id, bool enabled) {
    if (const Slot* s = FindSlot(id))
        EnableMenuItem(s->menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool ActiveMenu::Enabled(UINT id) const {
    const Slot* s = FindSlot(id);
    return s && !(GetMenuState(s->menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
}

UINT ActiveMenu::TrackPopup(HMENU menu, HWND owner, POINT at, UINT flags) {
    if (!owner) return 0;
    // The system's small-icon size is for its own resolution: a menu opening on a monitor of
    // another scale draws its icons at that monitor's size.
    WindowDc screen(nullptr);
    const int systemDpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    const int side = MulDiv(GetSystemMetrics(SM_CXSMICON),
                            MonitorDpi(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST)), systemDpi);
    if (side != IconSide()) {
        iconSide_ = side;
        for (Registered& item : registered_) LoadBitmap(item);
    }
    const UINT_PTR kSubclassId = reinterpret_cast<UINT_PTR>(this);
    const bool hooked = SetWindowSubclass(owner, &ActiveMenu::OwnerProc, kSubclassId,
                                          reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    if (hooked) RemoveWindowSubclass(owner, &ActiveMenu::OwnerProc, kSubclassId);
    // Lets the menu close properly when its owner is a hidden window (the tray case).
    PostMessageA(owner, WM_NULL, 0, 0);
    // The chosen command reads the settings as they are now, changed while the menu was open too.
    NoteChanges();
    return id;
}

void ActiveMenu::DrawIcon(const DRAWITEMSTRUCT& di) const {
    HBITMAP bmp = IconBitmap(di.itemID);
    if (!bmp) return;
    BITMAP bm{};
    GetObjectA(bmp, sizeof bm, &bm);
    UniqueMemDc src(CreateCompatibleDC(di.hDC));
    if (!src) return;
    ScopedSelect sel(src.get(), bmp);
    const int x = di.rcItem.left + (di.rcItem.right - di.rcItem.left - kIconGap - bm.bmWidth) / 2;
    const int y = di.rcItem.top + (di.rcItem.bottom - di.rcItem.top - bm.bmHeight) / 2;
    // A disabled item's icon is faded, as its caption is greyed.
    const BYTE opacity = (di.itemState & (ODS_GRAYED | ODS_DISABLED)) ? 96 : 255;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
    AlphaBlend(di.hDC, x, y, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, blend);
}

LRESULT CALLBACK ActiveMenu::OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR self) noexcept {
    const auto* menu = reinterpret_cast<const ActiveMenu*>(self);
    // Only the items whose bitmap is a callback are ours; the owner may draw items of its own.
    switch (msg) {
        case WM_MEASUREITEM: {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
            if (mi->CtlType != ODT_MENU || !menu->IconBitmap(mi->itemID)) break;
            // A little room between the icon and the caption that follows it.
            mi->itemWidth = static_cast<UINT>(menu->IconSide() + kIconGap);
            mi->itemHeight = static_cast<UINT>(menu->IconSide());
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (di->CtlType != ODT_MENU || !menu->IconBitmap(di->itemID)) break;
            menu->DrawIcon(*di);
            return TRUE;
        }
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void RegisterTrayMenuItems(ActiveMenu& menu) {
    auto add = [&menu](const TrayMenuItem& d) {
        if (!d.registered) return;
        menu.AddItem(d.caption, d.key, d.icon);
        if (*d.shown) menu.SetCaption(d.key, d.shown);
    };
    for (const TrayMenuItem& d : kTrayPopupItems) add(d);
    for (const TrayMenuItem& d : kTrayClockItems) add(d);
    menu.AddItem(kClockHideCaption, kClockHideKey);
}

}  // namespace spotlex
