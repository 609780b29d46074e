#include "keystrokes/layout_lookup_win.h"

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace spotlex {
namespace {

// ToUnicodeEx's flag that leaves the keyboard state, and with it a pending dead key, alone.
constexpr UINT kKeepKeyboardState = 0x4;

bool RunningSystemKeepsState() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    static const bool keeps = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        const auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                     reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof v;
        return get && get(&v) == 0 && TranslationKeepsKeyboardState(v.dwMajorVersion, v.dwBuildNumber);
    }();
    return keeps;
}

// VkKeyScanEx's shift states.
constexpr int kShiftState = 1;
constexpr int kAltGrState = 6;  // Ctrl and Alt

// The characters a layout may write at its Shift and AltGr levels: Latin, Greek, Cyrillic and the
// general punctuation and currency signs.
constexpr std::pair<char32_t, char32_t> kLevelCharacters[] = {
    {0x21, 0x7E}, {0xA1, 0x24F}, {0x370, 0x3FF}, {0x400, 0x4FF}, {0x2010, 0x20CF},
};

// What each key writes at each shift state, found the other way round: for every character a
// layout may write, VkKeyScanEx names the key and shift state that write it, without touching the
// keyboard state. Built once per layout.
class LevelTable {
public:
    explicit LevelTable(HKL layout) {
        for (auto [first, last] : kLevelCharacters) {
            for (char32_t c = first; c <= last; ++c) {
                const SHORT found = ::VkKeyScanExW(static_cast<wchar_t>(c), layout);
                if (found == -1) continue;
                // The first character found for a key and state is the one it writes.
                chars_.emplace(static_cast<std::uint16_t>(found), c);
            }
        }
    }
    char32_t At(UINT vk, int state) const {
        const auto it = chars_.find(static_cast<std::uint16_t>((state << 8) | (vk & 0xFF)));
        return it == chars_.end() ? 0 : it->second;
    }

private:
    std::unordered_map<std::uint16_t, char32_t> chars_;
};

const LevelTable& LevelsOf(HKL layout) {
    static std::vector<std::pair<HKL, std::unique_ptr<LevelTable>>> tables;
    for (const auto& [hkl, table] : tables) {
        if (hkl == layout) return *table;
    }
    tables.emplace_back(layout, std::make_unique<LevelTable>(layout));
    return *tables.back().second;
}

char32_t FromUtf16(const wchar_t* s, int n) {
    if (n <= 0) return 0;
    const auto hi = static_cast<char32_t>(static_cast<std::uint16_t>(s[0]));
    if (hi >= 0xD800 && hi < 0xDC00 && n > 1) {
        const auto lo = static_cast<char32_t>(static_cast<std::uint16_t>(s[1]));
        if (lo >= 0xDC00 && lo < 0xE000) return 0x10000 + ((hi - 0xD800) << 10) + (lo - 0xDC00);
    }
    return hi;
}

}  // namespace

bool TranslationKeepsKeyboardState(std::uint32_t major, std::uint32_t build) {
    return major > 10 || (major == 10 && build >= 14393);
}

PressLayout PressLayout::Foreground(UINT scanCode) noexcept {
    return PressLayout(scanCode);
}

void PressLayout::Find() const {
    DWORD thread = 0;
    if (const HWND foreground = ::GetForegroundWindow())
        thread = ::GetWindowThreadProcessId(foreground, nullptr);
    layout_ = ::GetKeyboardLayout(thread);
    keepsState_ = RunningSystemKeepsState();
    found_ = true;
}

KeyChar PressLayout::Char(int keyCode, KeyLevel level) const {
    if (!found_) Find();
    const auto vk = static_cast<UINT>(keyCode);
    if (!keepsState_) {
        if (level.shift || level.altGr) {
            const char32_t found =
                LevelsOf(layout_).At(vk, (level.shift ? kShiftState : 0) | (level.altGr ? kAltGrState : 0));
            if (found || level.altGr) return {found};
            // Where the layout does not say (Wine's answers have gaps), a key that writes its US
            // character unshifted keeps the US shifted one, as before.
            const KeyChar plain = Char(keyCode, {});
            return plain.ch && UsChar(keyCode, false).ch == plain.ch ? UsChar(keyCode, true) : KeyChar{};
        }
        // The low word is the character, a dead key's accent too; letters come as capitals.
        wchar_t ch = static_cast<wchar_t>(::MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout_) & 0xFFFF);
        ::CharLowerBuffW(&ch, 1);
        return {static_cast<char32_t>(static_cast<std::uint16_t>(ch))};
    }

    BYTE state[256] = {};
    if (level.shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    if (level.capsLock) state[VK_CAPITAL] = 0x01;
    if (level.altGr) state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_MENU] = state[VK_RMENU] = 0x80;
    wchar_t buffer[8] = {};
    const UINT scan = scanCode_ ? scanCode_ : ::MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout_);
    const int n = ::ToUnicodeEx(vk, scan, state, buffer, 8, kKeepKeyboardState, layout_);
    // A dead key answers -1 with its accent in the buffer.
    return {FromUtf16(buffer, n < 0 ? 1 : n)};
}

char32_t PressLayout::Upper(char32_t ch) const {
    if (ch > 0xFFFF) return ch;
    wchar_t w = static_cast<wchar_t>(ch);
    ::CharUpperBuffW(&w, 1);
    return static_cast<char32_t>(static_cast<std::uint16_t>(w));
}

}  // namespace spotlex
