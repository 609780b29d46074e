#include "keystrokes/password_guard_win.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "core/errata_log_win.h"
#include "core/window_win.h"

namespace spotlex {

using Microsoft::WRL::ComPtr;

namespace {

constexpr const char* kModule = "PasswordGuard";
constexpr UINT kMsgAutomationFailed = WM_APP + 0x52;

std::uintptr_t Front() noexcept {
    return reinterpret_cast<std::uintptr_t>(GetForegroundWindow());
}

// The focused control of the window in front. Only calls that read the window system's own
// records: none of them sends a message, so a hung or dying program cannot hold them up.
bool FocusIsPasswordEdit(HWND front) noexcept {
    bool password = false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (front && GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) && info.hwndFocus) {
        const auto style = static_cast<std::uint32_t>(GetWindowLongPtrA(info.hwndFocus, GWL_STYLE));
        char cls[128] = {};
        // A superclassed edit (a VB or Delphi text box) tells its base class only to RealGetWindowClass.
        password = (GetClassNameA(info.hwndFocus, cls, sizeof cls) && IsPasswordEdit(cls, style)) ||
                   (RealGetWindowClassA(info.hwndFocus, cls, sizeof cls) && IsPasswordEdit(cls, style));
    }
    return password;
}

// `answers`: the focus moves the hook had seen when the event being judged came in.
void DecideFromWindows(PasswordFocus& focus, std::uint32_t answers) noexcept {
    HWND front = GetForegroundWindow();
    focus.FromWindows(reinterpret_cast<std::uintptr_t>(front), FocusIsPasswordEdit(front), answers);
}

bool IsPasswordElement(uia::IElement* element) noexcept {
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = element->GetCachedPropertyValue(uia::kIsPasswordPropertyId, &value);
    // Not cached (a provider that ignores the request): ask the element; this is not the UI thread.
    if (FAILED(hr)) hr = element->GetCurrentPropertyValue(uia::kIsPasswordPropertyId, &value);
    const bool password = SUCCEEDED(hr) && value.vt == VT_BOOL && value.boolVal != VARIANT_FALSE;
    VariantClear(&value);
    return password;
}

}  // namespace

HRESULT CreateUiAutomation(uia::IAutomation** automation) {
    return CoCreateInstance(uia::kClsidCUIAutomation, nullptr, CLSCTX_INPROC_SERVER, uia::kIidIUIAutomation,
                            reinterpret_cast<void**>(automation));
}

HRESULT FindUiAutomation() {
    wchar_t clsid[40] = {};
    if (!StringFromGUID2(uia::kClsidCUIAutomation, clsid, 40)) return E_UNEXPECTED;
    const std::wstring path = L"CLSID\\" + std::wstring(clsid) + L"\\InprocServer32";
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key);
    const UniqueKey server(opened == ERROR_SUCCESS ? key : nullptr);
    return server ? S_OK : REGDB_E_CLASSNOTREG;
}

// What the guard shares with its threads and with UI Automation's own; an automation thread stuck
// in a slow provider may outlive the guard, so it holds this alive for itself.
struct PasswordGuard::Shared {
    std::shared_ptr<PasswordFocus> focus;
    PasswordGuard::AutomationFactory createAutomation = nullptr;
    UniqueHandle stop;
    std::atomic<HWND> notify{nullptr};

    // The automation thread gives up: the user-interface thread logs why.
    void Fail(const char* step, HRESULT hr) noexcept {
        if (HWND h = notify.load()) {
            PostMessageA(h, kMsgAutomationFailed, static_cast<WPARAM>(static_cast<std::uint32_t>(hr)),
                         reinterpret_cast<LPARAM>(step));
        }
    }
};

// Receives UI Automation's focus-changed events on the client's own threads.
class PasswordGuard::FocusHandler final : public uia::IFocusChangedEventHandler {
public:
    explicit FocusHandler(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, uia::kIidFocusChangedEventHandler)) {
            *out = static_cast<uia::IFocusChangedEventHandler*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(uia::IElement* sender) override {
        Judge(sender);
        return S_OK;
    }

    void Judge(uia::IElement* element) noexcept {
        const std::uint32_t answers = shared_->focus->Moves();
        const bool password = element && IsPasswordElement(element);
        // A thread the guard gave up on says nothing more.
        if (WaitForSingleObject(shared_->stop.get(), 0) == WAIT_OBJECT_0) return;
        shared_->focus->FromAutomation(Front(), password, answers);
    }

private:
    std::shared_ptr<Shared> shared_;
    std::atomic<ULONG> refs_{1};
};

// The thread that takes the window system's focus events. Out-of-context events arrive through its
// message queue; a burst of them is judged once, after the queue is empty.
struct PasswordGuard::WindowsWatcher {
    explicit WindowsWatcher(PasswordFocus& f) : focus(f) {}

    PasswordFocus& focus;
    PasswordGuard::EventHookFn setHook = nullptr;
    UniqueHandle ready;
    UniqueHandle handle;
    DWORD id = 0;
    DWORD hookError = 0;  // set when the focus events could not be had
    bool changed = false;
    std::uint32_t answers = 0;

    static inline thread_local WindowsWatcher* current = nullptr;

    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
        if (!current) return;
        current->changed = true;
        current->answers = current->focus.Moves();
    }

    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<WindowsWatcher*>(param);
        current = self;
        // Its verdict must be in before the presenter's next key reaches the user-interface thread.
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
        MSG msg;
        PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        UniqueWinEventHook focusHook(self->setHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                                   &OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT));
        UniqueWinEventHook frontHook(focusHook ? self->setHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND,
                                                               nullptr, &OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT)
                                               : nullptr);
        if (!focusHook || !frontHook)
            self->hookError = GetLastError() ? GetLastError() : ERROR_INVALID_FUNCTION;
        DecideFromWindows(self->focus, self->focus.Moves());
        SetEvent(self->ready.get());
        for (bool running = true; running;) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    running = false;
                    break;
                }
                DispatchMessageA(&msg);
            }
            if (!running) break;
            if (self->changed) {
                self->changed = false;
                DecideFromWindows(self->focus, self->answers);
                continue;
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        current = nullptr;
        return 0;
    }
};

// A message-only window of the user-interface thread, where the automation thread's failure is
// logged: the log lets queued events run and beeps, which belongs on this thread.
class PasswordGuard::NotifyWindow final : public Window {
public:
    NotifyWindow() { CreateWin("SpotlexPasswordGuard", 0, 0, "", 0, 0, 0, 0, HWND_MESSAGE); }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != kMsgAutomationFailed) return DefWindowProcA(hwnd_, msg, wp, lp);
        const auto hr = static_cast<HRESULT>(static_cast<std::uint32_t>(wp));
        LogError(kModule, reinterpret_cast<const char*>(lp), static_cast<std::int32_t>(hr),
                 "UI Automation is not available (" + SystemErrorText(static_cast<unsigned long>(hr)) +
                     "); password fields are recognised by their edit style only");
        return 0;
    }
};

PasswordGuard::PasswordGuard() : PasswordGuard(Options{}) {}

PasswordGuard::PasswordGuard(const Options& options)
    : options_(options),
      focus_(std::make_shared<PasswordFocus>()),
      shared_(std::make_shared<Shared>()),
      window_(std::make_unique<NotifyWindow>()) {
    shared_->focus = focus_;
    shared_->createAutomation = options.createAutomation;
}

PasswordGuard::~PasswordGuard() {
    Stop();
}

bool PasswordGuard::Hidden() const noexcept {
    if (focus_->Hidden()) return true;
    // Without the watcher's verdicts, the focused control is looked at here, at every press.
    return direct_ && FocusIsPasswordEdit(GetForegroundWindow());
}

void PasswordGuard::Start() {
    if (Running() || direct_) return;
    auto watcher = std::make_unique<WindowsWatcher>(*focus_);
    watcher->setHook = options_.setWinEventHook;
    watcher->ready.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (watcher->ready) {
        watcher->handle.reset(CreateThread(nullptr, 0, &WindowsWatcher::Run, watcher.get(), 0, &watcher->id));
    }
    if (!watcher->handle) {
        const DWORD error = GetLastError();
        LogError(kModule, "Start", static_cast<std::int32_t>(error),
                 SystemErrorText(error) + "; the focused control is checked at every key press instead");
        direct_ = true;
        return;
    }
    HANDLE waits[2] = {watcher->ready.get(), watcher->handle.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (watcher->hookError) {
        LogError(kModule, "SetWinEventHook", static_cast<std::int32_t>(watcher->hookError),
                 SystemErrorText(watcher->hookError) + "; the focused control is checked at every key press instead");
        direct_ = true;
    }
    windowsThread_ = std::move(watcher);

    shared_->notify.store(window_->Hwnd());
    const HRESULT found = options_.findAutomation ? options_.findAutomation() : S_OK;
    if (FAILED(found)) {
        shared_->Fail("CoCreateInstance", found);
        return;
    }
    shared_->stop.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    // The thread owns one reference of its own, released when it ends.
    auto* ref = new std::shared_ptr<Shared>(shared_);
    if (shared_->stop) automationThread_.reset(CreateThread(nullptr, 0, &WatchAutomation, ref, 0, nullptr));
    if (!automationThread_) {
        delete ref;
        shared_->Fail("CreateThread", HRESULT_FROM_WIN32(GetLastError()));
    }
}

void PasswordGuard::Stop() {
    direct_ = false;
    if (!Running()) return;
    shared_->notify.store(nullptr);
    if (automationThread_) {
        SetEvent(shared_->stop.get());
        // A provider that does not answer keeps the thread; it holds its own share and ends later.
        WaitForSingleObject(automationThread_.get(), options_.automationStopMs);
        automationThread_.reset();
    }
    PostThreadMessageA(windowsThread_->id, WM_QUIT, 0, 0);
    WaitForSingleObject(windowsThread_->handle.get(), INFINITE);
    windowsThread_.reset();
    focus_->SetAutomationLive(false);
    // A later Start gets fresh state; the old one stays with a thread that may not have ended.
    auto fresh = std::make_shared<Shared>();
    fresh->focus = focus_;
    fresh->createAutomation = options_.createAutomation;
    shared_ = std::move(fresh);
}

DWORD WINAPI PasswordGuard::WatchAutomation(void* param) {
    const std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(param));
    delete static_cast<std::shared_ptr<Shared>*>(param);
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(init)) {
        shared->Fail("CoInitializeEx", init);
        return 0;
    }
    {
        ComPtr<uia::IAutomation> automation;
        HRESULT hr = shared->createAutomation(automation.GetAddressOf());
        if (FAILED(hr) || !automation) {
            shared->Fail("CoCreateInstance", FAILED(hr) ? hr : E_NOINTERFACE);
        } else if (WaitForSingleObject(shared->stop.get(), 0) != WAIT_OBJECT_0) {
            // IsPassword comes with each event, so judging it asks the focused program nothing more.
            ComPtr<uia::ICacheRequest> cache;
            if (SUCCEEDED(automation->CreateCacheRequest(cache.GetAddressOf())) && cache) {
                cache->AddProperty(uia::kIsPasswordPropertyId);
            }
            ComPtr<FocusHandler> handler;
            handler.Attach(new FocusHandler(shared));
            hr = automation->AddFocusChangedEventHandler(cache.Get(), handler.Get());
            if (FAILED(hr)) {
                shared->Fail("AddFocusChangedEventHandler", hr);
            } else {
                shared->focus->SetAutomationLive(true);
                ComPtr<uia::IElement> focused;
                if (SUCCEEDED(automation->GetFocusedElementBuildCache(cache.Get(), focused.GetAddressOf())) &&
                    focused) {
                    handler->Judge(focused.Get());
                }
                WaitForSingleObject(shared->stop.get(), INFINITE);
                shared->focus->SetAutomationLive(false);
                automation->RemoveFocusChangedEventHandler(handler.Get());
            }
        }
    }
    CoUninitialize();
    return 0;
}

}  // namespace spotlex
