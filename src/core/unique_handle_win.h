#pragma once
// Move-only owners of Win32 handles, each with its own deleter. Each kind counts the handles it
// owns, since Wine's GetGuiResources always answers 0 and leak tests need a real figure.
#include <windows.h>

#include <atomic>
#include <utility>

namespace spotlex {

template <class H, auto Deleter, H Null = H{}>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(H h) noexcept : h_(h) {
        if (h_ != Null) ++live_;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, Null)) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, Null);
        }
        return *this;
    }
    ~Unique() { reset(); }

    H get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Null; }
    // Gives up ownership, as after SetWindowRgn has taken a region.
    H release() noexcept {
        if (h_ != Null) --live_;
        return std::exchange(h_, Null);
    }
    void reset(H h = Null) noexcept {
        if (h != Null) ++live_;
        H old = std::exchange(h_, h);
        if (old != Null) {
            --live_;
            Deleter(old);
        }
    }
    // Handles of this kind owned by the program right now.
    static long Live() noexcept { return live_.load(); }

private:
    H h_ = Null;
    static inline std::atomic<long> live_{0};
};

namespace detail {
inline void DeleteFont(HFONT h) noexcept { ::DeleteObject(h); }
inline void DeleteRgn(HRGN h) noexcept { ::DeleteObject(h); }
inline void DeleteBitmap(HBITMAP h) noexcept { ::DeleteObject(h); }
inline void DeleteBrush(HBRUSH h) noexcept { ::DeleteObject(h); }
inline void CloseKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void Unhook(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
inline void Destroy(HWND h) noexcept { ::DestroyWindow(h); }
inline void DeleteDc(HDC h) noexcept { ::DeleteDC(h); }
inline void CloseKernel(HANDLE h) noexcept { ::CloseHandle(h); }
inline void DestroyIconHandle(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) noexcept { ::DestroyMenu(h); }
inline void DestroyCursorHandle(HCURSOR h) noexcept { ::DestroyCursor(h); }
inline void UnhookEvent(HWINEVENTHOOK h) noexcept { ::UnhookWinEvent(h); }
}  // namespace detail

using UniqueFont = Unique<HFONT, detail::DeleteFont>;
using UniqueRgn = Unique<HRGN, detail::DeleteRgn>;
using UniqueBitmap = Unique<HBITMAP, detail::DeleteBitmap>;
using UniqueBrush = Unique<HBRUSH, detail::DeleteBrush>;
using UniqueKey = Unique<HKEY, detail::CloseKey>;
using UniqueHook = Unique<HHOOK, detail::Unhook>;
using UniqueWindow = Unique<HWND, detail::Destroy>;
using UniqueMemDc = Unique<HDC, detail::DeleteDc>;
using UniqueHandle = Unique<HANDLE, detail::CloseKernel>;
using UniqueIcon = Unique<HICON, detail::DestroyIconHandle>;
using UniqueMenu = Unique<HMENU, detail::DestroyMenuHandle>;
using UniqueCursor = Unique<HCURSOR, detail::DestroyCursorHandle>;
using UniqueWinEventHook = Unique<HWINEVENTHOOK, detail::UnhookEvent>;

// A top-down DIB section of `bitCount` bits per pixel; `bits` receives its pixels.
inline UniqueBitmap CreateTopDownDib(int width, int height, WORD bitCount, void** bits) noexcept {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = bitCount;
    bi.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    return UniqueBitmap(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
}

// A device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {
        if (dc_) ++live_;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) {
            ::ReleaseDC(hwnd_, dc_);
            --live_;
        }
    }
    // Device contexts taken and not yet given back.
    static long Live() noexcept { return live_.load(); }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
    static inline std::atomic<long> live_{0};
};

// Selects an object into a DC for one scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace spotlex
