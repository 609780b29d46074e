// Keys typed into a password field stay off the screen: a sign-in box with a name field and a
// password field, driven by real input through the real hook, handler and guard.
#include "keystrokes/password_guard_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/registry_win.h"
#include "keystrokes/key_handler_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// The box's own pump: Tab moves between the fields only through IsDialogMessage.
class SignInBox {
public:
    SignInBox() {
        box_.reset(CreateWindowExA(0, "#32770", "Sign in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200, 420,
                                   200, nullptr, nullptr, nullptr, nullptr));
        const DWORD field = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
        name = CreateWindowExA(0, "Edit", "", field, 20, 20, 360, 26, box_.get(), nullptr, nullptr, nullptr);
        password = CreateWindowExA(0, "Edit", "", field | ES_PASSWORD, 20, 70, 360, 26, box_.get(), nullptr,
                                   nullptr, nullptr);
        SetForegroundWindow(box_.get());
        SetFocus(name);
    }
    bool Pump(const std::function<bool()>& done, int ms) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (IsDialogMessageA(box_.get(), &msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            if (done() || static_cast<LONG>(end - GetTickCount()) <= 0) return done();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    std::string Text(HWND field) const {
        char text[64] = {};
        GetWindowTextA(field, text, sizeof text);
        return text;
    }

    HWND name = nullptr;
    HWND password = nullptr;

private:
    UniqueWindow box_;
};

void Keys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> in;
    for (auto [vk, up] : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)), in.size());
}
void Type(WORD vk) {
    Keys({{vk, false}, {vk, true}});
}

// A left click in the middle of a window.
void ClickOn(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
}

HRESULT NotRegistered(uia::IAutomation**) {
    return REGDB_E_CLASSNOTREG;
}
HRESULT Registered() {
    return S_OK;
}

// The program's own wiring: the hook stamps each press with the guard's verdict, the handler asks
// the guard again.
struct GuardedKeys {
    explicit GuardedKeys(const PasswordGuard::Options& options) : guard(options) {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        handler.SetPasswordGuard(&guard);
        input.SetPasswordFocus(guard.Focus());
        input.KeyDown = [this](std::int16_t vk, std::int16_t shift) { handler.KeyDown(vk, shift, false); };
        input.MouseDown = [this](std::int16_t, std::int16_t, int, int) { ++clicks; };
    }
    ~GuardedKeys() {
        input.SetEnabled(false);
        guard.Stop();
        goCurrentUser.reset();
    }
    void Start() {
        guard.Start();
        input.SetHooks(kHookAll);
        input.SetEnabled(true);
    }
    bool Shown(const std::string& text) const { return std::count(shown.begin(), shown.end(), text) > 0; }

    std::vector<std::string> shown;
    int sounds = 0, clicks = 0;
    KeystrokeHandler handler{[this](const CapText& text) { shown.push_back(test::CodesOf(text)); },
                             [this](std::string_view, bool) { ++sounds; }};
    PasswordGuard guard;
    SysInput input;
};

TEST(PasswordGuardTest, KeysInThePasswordFieldAreNeitherShownNorSounded) {
    test::ScopedLogFolder log;
    // Wine has no UI Automation client; the same failure is forced here so the test is the same on
    // Windows: the edit style alone must do.
    GuardedKeys keys({&NotRegistered});
    auto& [shown, sounds, clicks, handler, guard, input] = keys;
    SignInBox box;
    keys.Start();

    Type('A');
    ASSERT_TRUE(box.Pump([&] { return !shown.empty(); }, 3000)) << "a key in the name field was not shown";
    EXPECT_EQ(shown.back(), "a");

    Keys({{VK_TAB, false}, {VK_TAB, true}});
    EXPECT_TRUE(box.Pump([&] { return guard.Hidden(); }, 2000)) << "tabbing into the password field";
    // Events come in input order: once this click is raised, the Tab's events are behind us.
    ClickOn(box.password);
    ASSERT_TRUE(box.Pump([&] { return clicks == 1; }, 3000));
    const std::size_t shownBefore = shown.size();
    const int soundsBefore = sounds;

    for (WORD vk : {'S', 'E', 'C', 'R', 'E', 'T'}) Type(vk);
    Keys({{VK_CONTROL, false}, {'C', false}, {'C', true}, {VK_CONTROL, true}});
    // A click in the password field is still raised, after every key above.
    ClickOn(box.password);
    ASSERT_TRUE(box.Pump([&] { return clicks == 2; }, 3000));
    EXPECT_EQ(box.Text(box.password), "secret") << "the keys must still reach the program";
    EXPECT_EQ(shown.size(), shownBefore) << "shown: " << shown.back();
    EXPECT_EQ(sounds, soundsBefore);

    Keys({{VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_SHIFT, true}});
    EXPECT_TRUE(box.Pump([&] { return !guard.Hidden(); }, 2000)) << "tabbing back to the name field";
    Type('Z');
    EXPECT_TRUE(box.Pump([&] { return !shown.empty() && shown.back() == "z"; }, 3000));

    input.SetEnabled(false);
    guard.Stop();
    // The missing UI Automation is logged once, however often the focus moved.
    EXPECT_EQ(log.EntryCount(), 1) << log.LogText();
    EXPECT_NE(log.LogText().find("Procedure: CoCreateInstance\r\nModule: PasswordGuard\r\n"),
              std::string::npos)
        << log.LogText();
}

TEST(PasswordGuardTest, AKeyTypedAsTheFocusEntersAPasswordFieldIsNotShown) {
    GuardedKeys keys({&NotRegistered});
    SignInBox box;
    keys.Start();
    box.Pump([] { return false; }, 300);
    // Both keys pass the hook before the box has moved its focus.
    Keys({{VK_TAB, false}, {VK_TAB, true}, {'S', false}, {'S', true}});
    ClickOn(box.password);
    ASSERT_TRUE(box.Pump([&] { return keys.clicks == 1; }, 3000));
    EXPECT_EQ(box.Text(box.password), "s");
    EXPECT_FALSE(keys.Shown("s"));
}

struct BoxOnItsOwnThread {
    UniqueHandle moveFocus{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HWND> password{nullptr};

    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<BoxOnItsOwnThread*>(param);
        SignInBox box;
        SetFocus(box.password);
        self->password = box.password;
        box.Pump([&] { return WaitForSingleObject(self->moveFocus.get(), 0) == WAIT_OBJECT_0; }, 10000);
        SetFocus(box.name);
        box.Pump([&] { return WaitForSingleObject(self->done.get(), 0) == WAIT_OBJECT_0; }, 10000);
        return 0;
    }
};

TEST(PasswordGuardTest, KeysJudgedWhenTypedNotWhenTheBusyProgramGetsToThem) {
    GuardedKeys keys({&NotRegistered});
    keys.Start();
    BoxOnItsOwnThread box;
    UniqueHandle thread(CreateThread(nullptr, 0, &BoxOnItsOwnThread::Run, &box, 0, nullptr));
    ASSERT_TRUE(test::PumpUntil([&] { return box.password && keys.guard.Hidden(); }, 3000));

    // This thread stops taking the hook's events while the presenter types a password and Enter,
    // and the focus moves on.
    Keys({{'P', false}, {'P', true}, {'W', false}, {'W', true}, {VK_RETURN, false}, {VK_RETURN, true}});
    for (int i = 0; i < 100 && GetWindowTextLengthA(box.password) < 2; ++i) Sleep(10);
    SetEvent(box.moveFocus.get());
    Sleep(1000);
    EXPECT_TRUE(test::PumpUntil([&] { return !keys.guard.Hidden(); }, 2000)) << "the focus left the field";
    ClickOn(box.password);
    EXPECT_TRUE(test::PumpUntil([&] { return keys.clicks == 1; }, 3000));
    EXPECT_TRUE(keys.shown.empty()) << "shown: " << keys.shown.front();
    SetEvent(box.done.get());
    WaitForSingleObject(thread.get(), 5000);
}

HWINEVENTHOOK WINAPI NoFocusEvents(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

TEST(PasswordGuardTest, WithoutFocusEventsEachPressLooksAtTheFocusedControl) {
    test::ScopedLogFolder log;
    GuardedKeys keys({&NotRegistered, 200, [] { return REGDB_E_CLASSNOTREG; }, &NoFocusEvents});
    SignInBox box;
    keys.Start();
    SetFocus(box.password);
    Type('X');
    ClickOn(box.password);
    ASSERT_TRUE(box.Pump([&] { return keys.clicks == 1; }, 3000));
    SetFocus(box.name);
    Type('A');
    ASSERT_TRUE(box.Pump([&] { return keys.Shown("a"); }, 3000)) << "keys in the name field are shown";
    EXPECT_FALSE(keys.Shown("x"));
    EXPECT_NE(log.LogText().find("Procedure: SetWinEventHook\r\nModule: PasswordGuard\r\nNumber: 5\r\n"),
              std::string::npos)
        << log.LogText();
    EXPECT_EQ(log.EntryCount(), 2) << "the missing focus events and UI Automation, each once: " << log.LogText();
}

TEST(PasswordGuardTest, AClickInThePasswordFieldStillBursts) {
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);
    goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
    goCurrentUser->SetValue("Hook_Enum", rgsDWord, 9);
    ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
    {
        frmMain form;
        int frames = 0;
        form.MouseWindow->BurstWindow().SetFrameListener([&](unsigned char) { ++frames; });
        SignInBox box;
        form.SysInputEnabled(true);
        // Let the box come up before the focus moves, as a presenter would.
        box.Pump([] { return false; }, 300);
        SetFocus(box.password);
        ASSERT_TRUE(box.Pump([&] { return form.Passwords.Hidden(); }, 2000));
        Type('X');
        ClickOn(box.password);
        EXPECT_TRUE(box.Pump([&] { return frames > 0; }, 3000)) << "no burst for the click";
        EXPECT_TRUE(form.KeyboardWindow->Window().Text().empty());
        EXPECT_FALSE(test::OnScreen(form.KeyboardWindow->Window().Hwnd()));
    }
    goCurrentUser.reset();
}

// A program that hangs right after moving its focus into a password field: judging the field
// must not wait for it.
DWORD WINAPI FocusPasswordThenHang(void* hung) {
    SignInBox box;
    box.Pump([] { return false; }, 300);
    SetFocus(box.password);
    WaitForSingleObject(static_cast<HANDLE>(hung), 5000);
    return 0;
}

TEST(PasswordGuardTest, AHungProgramIsJudgedWithoutWaitingForIt) {
    PasswordGuard guard({&NotRegistered});
    guard.Start();
    UniqueHandle hung(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle thread(CreateThread(nullptr, 0, &FocusPasswordThenHang, hung.get(), 0, nullptr));
    // The program stays hung for 5 s; a guard that asked it anything would still be waiting.
    EXPECT_TRUE(test::PumpUntil([&] { return guard.Hidden(); }, 2000));
    SetEvent(hung.get());
    WaitForSingleObject(thread.get(), 5000);
}

// A client whose class is not registered is not tried on a thread of its own (under Wine every
// thread keeps about 1 MB), but its absence is logged as when creating it fails.
std::atomic<int> clientsAsked{0};
HRESULT CountedClient(uia::IAutomation**) {
    ++clientsAsked;
    return REGDB_E_CLASSNOTREG;
}

TEST(PasswordGuardTest, AnUnregisteredClientIsLoggedWithoutAThreadForIt) {
    test::ScopedLogFolder log;
    auto unregistered = [] { return REGDB_E_CLASSNOTREG; };
    for (auto check : {static_cast<PasswordGuard::AutomationCheck>(unregistered), &FindUiAutomation}) {
        clientsAsked = 0;
        PasswordGuard guard({&CountedClient, 200, check});
        guard.Start();
        test::PumpFor(300);
        guard.Stop();
        // The system's own check asks for the thread only where the class is registered (Windows).
        const bool registered = check() == S_OK;
        EXPECT_EQ(clientsAsked.load(), registered ? 1 : 0);
        EXPECT_EQ(log.EntryCount(), 1) << "logged, the second time as a repeat of the first: " << log.LogText();
    }
    CloseErrataRuns();
    EXPECT_NE(log.LogText().find("(The entry above came 1 more time"), std::string::npos) << log.LogText();
    EXPECT_NE(log.LogText().find("Procedure: CoCreateInstance\r\nModule: PasswordGuard\r\nNumber: -2147221164"),
              std::string::npos)
        << log.LogText();
}

// UI Automation as browsers and WPF programs feed it; Wine's client cannot be created, so these
// stand-ins play the client and the focused element.
struct FakeElement final : uia::IElement {
    explicit FakeElement(bool p) : password(p) {}
    bool password;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // Not in the cache: the guard must ask for the current value.
    HRESULT STDMETHODCALLTYPE GetCachedPropertyValue(int, VARIANT*) override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE GetCurrentPropertyValue(int id, VARIANT* value) override {
        value->vt = VT_BOOL;
        value->boolVal = password && id == uia::kIsPasswordPropertyId ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
};

struct FakeAutomation final : uia::IAutomation {
    static inline FakeAutomation* instance = nullptr;
    static inline HANDLE release = nullptr;  // until it is set, creating the client stalls
    uia::IFocusChangedEventHandler* handler = nullptr;
    bool removed = false;

    static HRESULT Create(uia::IAutomation** out) {
        WaitForSingleObject(release, INFINITE);
        *out = instance;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateCacheRequest(uia::ICacheRequest**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFocusedElementBuildCache(uia::ICacheRequest*, uia::IElement**) override {
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE AddFocusChangedEventHandler(uia::ICacheRequest*,
                                                          uia::IFocusChangedEventHandler* h) override {
        handler = h;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveFocusChangedEventHandler(uia::IFocusChangedEventHandler* h) override {
        removed = h == handler;
        return S_OK;
    }
};

TEST(PasswordGuardTest, AutomationFindsPasswordElementsAndASlowClientHoldsNothingUp) {
    FakeAutomation automation;
    FakeAutomation::instance = &automation;
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    FakeAutomation::release = release.get();
    SignInBox box;
    PasswordGuard guard({&FakeAutomation::Create, 200, &Registered});
    guard.Start();
    box.Pump([] { return false; }, 300);

    // The client takes its time to come up; the edit style is judged meanwhile.
    SetFocus(box.password);
    EXPECT_TRUE(box.Pump([&] { return guard.Hidden(); }, 2000));
    SetFocus(box.name);
    EXPECT_TRUE(box.Pump([&] { return !guard.Hidden(); }, 2000));

    SetEvent(release.get());
    ASSERT_TRUE(box.Pump([&] { return automation.handler != nullptr; }, 3000));
    FakeElement secret(true), plain(false);
    // The window system sees the plain name field; automation's element is a password box.
    automation.handler->HandleFocusChangedEvent(&secret);
    EXPECT_TRUE(guard.Hidden());
    automation.handler->HandleFocusChangedEvent(&plain);
    EXPECT_FALSE(guard.Hidden());
    guard.Stop();
    EXPECT_TRUE(automation.removed);
}

TEST(PasswordGuardTest, StopDoesNotWaitForAClientThatNeverComes) {
    FakeAutomation automation;
    FakeAutomation::instance = &automation;
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    FakeAutomation::release = release.get();
    {
        PasswordGuard guard({&FakeAutomation::Create, 200, &Registered});
        guard.Start();
        const DWORD before = GetTickCount();
        guard.Stop();
        EXPECT_LT(GetTickCount() - before, 2000u);
    }
    // The abandoned thread comes back after the guard is gone, and leaves without using the client.
    SetEvent(release.get());
    test::PumpFor(300);
    EXPECT_EQ(automation.handler, nullptr);
}

}  // namespace
}  // namespace spotlex
