#include "app/sys_input_win.h"

#include <algorithm>
#include <atomic>
#include <limits>

#include "core/errata_log_win.h"
#include "core/latency_trace_win.h"
#include "core/runtime_rules.h"
#include "core/unique_handle_win.h"
#include "core/window_win.h"

namespace spotlex {

namespace {

constexpr UINT kMsgInput = WM_APP + 0x51;
constexpr UINT_PTR kHoldTimer = 1;
// Room for a few seconds of the fastest typing and clicking while the user-interface thread is busy.
constexpr std::size_t kRingSize = 4096;

// The button of a press, as the events number it; 0 for anything that is no press.
std::int16_t MouseButtonCode(WPARAM message, DWORD mouseData) {
    switch (message) {
        case WM_LBUTTONDOWN: return 1;
        case WM_RBUTTONDOWN: return 2;
        case WM_MBUTTONDOWN: return 4;
        case WM_XBUTTONDOWN: return HIWORD(mouseData) == XBUTTON2 ? 16 : 8;
        default: return 0;
    }
}

bool KeyIsDown(std::uint32_t vkCode) {
    return (GetAsyncKeyState(static_cast<int>(vkCode)) & 0x8000) != 0;
}

}  // namespace

// One event, copied by a hook procedure; plain data so that the ring never allocates.
struct SysInput::HookEvent {
    enum Kind : std::uint8_t { kKey, kMouse, kWheel, kError };
    Kind kind;
    std::int16_t code;   // key: plain virtual-key code; mouse: button; wheel: delta; error: the hook
    std::uint16_t mask;  // modifiers held
    std::int32_t x;      // mouse: screen pixels
    std::int32_t y;
    std::uint32_t time;
    std::int32_t error;  // error: the Win32 error code
    KeyStamp stamp;      // key: what the password watchers knew when it was pressed
    KeyDetail detail;    // key: its scan code and Caps Lock, for naming it in the presenter's layout
};

// What the hook thread and the user-interface thread share.
struct SysInput::Channel {
    SpscRing<HookEvent, kRingSize> ring;
    // Set while a wake-up message is on its way, so a busy user-interface thread gets one, not
    // thousands.
    std::atomic<bool> posted{false};
    std::atomic<std::uint64_t> dropped{0};
    // Wheel turns are wanted.
    std::atomic<bool> wheel{false};
    MicrosecondHistogram hookTimes;
    HWND notify = nullptr;
    LONGLONG ticksPerSecond = 1;
    // Set only while no hook thread runs.
    std::shared_ptr<PasswordFocus> focus;
    // A press is held for the password watchers: their next answer wakes the user-interface thread.
    std::atomic<bool> holding{false};

    // Producer only: the hook thread while it runs. False when the ring is full and the event lost.
    bool Push(const HookEvent& e) noexcept {
        if (ring.Push(e)) return true;
        dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }

    // Wakes the user-interface thread unless a wake-up is already on its way, so a burst of input
    // costs one post.
    void Wake() noexcept {
        if (!posted.exchange(true, std::memory_order_acq_rel)) {
            if (!PostMessageA(notify, kMsgInput, 0, 0)) posted.store(false, std::memory_order_release);
        }
    }
};

// The thread that owns the hooks. Its hook procedures do only what fits in a few microseconds:
// no allocation, no logging, no registry, no waiting on the user-interface thread.
struct SysInput::HookThread {
    HookThread(Channel& c, const Options& o, std::int32_t hooks)
        : channel(c),
          options(o),
          wanted(hooks),
          modifiers(o.modifierStaleMs, &KeyIsDown),
          pace(o.watchdogMs, o.idleWatchdogMs, o.quietLooksBeforeIdle) {}

    Channel& channel;
    Options options;
    std::int32_t wanted;       // hooks to keep in place; a failed one leaves
    std::int32_t started = 0;  // the hooks in place when `ready` was set
    ModifierTracker modifiers;
    UniqueHook keyboard;
    UniqueHook mouse;
    bool capsLockOn = false;
    bool capsLockHeld = false;
    std::uint32_t keyboardSeen = 0;
    std::uint32_t mouseSeen = 0;
    POINT lastCursor{};
    bool cursorRead = false;   // lastCursor holds a reading
    bool wakePending = false;  // events pushed since the last wake-up
    WatchdogPace pace;
    bool sawInput = false;  // a hook procedure ran since the loop last looked
    UINT_PTR timer = 0;
    UniqueHandle ready;
    UniqueHandle handle;
    DWORD id = 0;

    // Low-level hooks carry no context; each hook thread finds its own state here.
    static inline thread_local HookThread* current = nullptr;

    std::int32_t Installed() const noexcept {
        return (keyboard ? kHookKeyboard : 0) | (mouse ? kHookMouse : 0);
    }

    static DWORD WINAPI Run(void* param) {
        auto* self = static_cast<HookThread*>(param);
        current = self;
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        MSG msg;
        // The queue must exist before the owner posts WM_QUIT to it.
        PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        if (self->wanted & kHookKeyboard) self->Install(kHookKeyboard);
        if (self->wanted & kHookMouse) self->Install(kHookMouse);
        self->CursorMoved();
        self->capsLockOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
        self->started = self->Installed();
        SetEvent(self->ready.get());

        self->timer = SetTimer(nullptr, 0, self->pace.Interval(), nullptr);
        // The hook procedures run inside PeekMessage and wake the user-interface thread themselves;
        // what else is published (a hook that could not be installed) wakes it from here.
        for (bool running = true; running;) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    running = false;
                    break;
                }
                if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == self->timer) self->Watch();
            }
            if (!running) break;
            if (self->sawInput) {
                self->sawInput = false;
                if (self->pace.OnHookInput()) self->Repace();
            }
            if (self->wakePending) {
                self->wakePending = false;
                self->channel.Wake();
                trace::HookWoke();
                continue;
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        KillTimer(nullptr, self->timer);
        self->keyboard.reset();
        self->mouse.reset();
        current = nullptr;
        return 0;
    }

    // Installs one hook, or installs it again: the new hook is in place before the old one goes.
    void Install(std::int32_t hook) {
        const bool isKeyboard = hook == kHookKeyboard;
        UniqueHook& slot = isKeyboard ? keyboard : mouse;
        HHOOK h = options.install(isKeyboard ? WH_KEYBOARD_LL : WH_MOUSE_LL,
                                  isKeyboard ? &KeyboardProc : &MouseProc, GetModuleHandleA(nullptr), 0);
        if (!h) {
            const DWORD error = GetLastError();
            slot.reset();
            wanted &= ~hook;
            Publish({HookEvent::kError, static_cast<std::int16_t>(hook), 0, 0, 0, GetTickCount(),
                     static_cast<std::int32_t>(error), {}, {}});
            return;
        }
        slot.reset(h);
        (isKeyboard ? keyboardSeen : mouseSeen) = GetTickCount();
    }

    // Whether the pointer moved since the last look. Read only while one hook alone is in place, the
    // one case where the answer counts: under Wine a thread's first reading opens a display
    // connection of its own, 0.8 MB that an idle program with both hooks would carry for nothing.
    bool CursorMoved() noexcept {
        const std::int32_t installed = Installed();
        if (installed != kHookKeyboard && installed != kHookMouse) {
            cursorRead = false;
            return false;
        }
        POINT cursor{};
        if (!options.cursorPos(&cursor)) return false;
        const bool moved = cursorRead && (cursor.x != lastCursor.x || cursor.y != lastCursor.y);
        lastCursor = cursor;
        cursorRead = true;
        return moved;
    }

    // The thread timer's new interval; SetTimer on the same timer replaces it.
    void Repace() { timer = SetTimer(nullptr, timer, pace.Interval(), nullptr); }

    // Windows removes a hook that once answered too slowly, without telling anyone. Input that the
    // system saw and the hooks did not gives it away.
    void Watch() {
        LASTINPUTINFO info{sizeof info, 0};
        if (!GetLastInputInfo(&info)) return;
        if (pace.OnLook(info.dwTime)) Repace();
        const std::int32_t lost =
            HooksToReinstall({info.dwTime, keyboardSeen, mouseSeen, Installed(), CursorMoved()},
                             options.lostAfterMs) &
            wanted;
        if (lost & kHookKeyboard) Install(kHookKeyboard);
        if (lost & kHookMouse) Install(kHookMouse);
        // Keys went by unseen: the modifier record cannot be trusted.
        if (lost) modifiers.MarkStale();
    }

    void Publish(const HookEvent& e) noexcept {
        if (channel.Push(e)) wakePending = true;
    }

    // From a hook procedure: the wake-up is posted before the procedure returns. Posting takes a
    // few microseconds, and the user-interface thread gets going while the system still finishes
    // the hook call, instead of after it.
    void PublishInput(const HookEvent& e) noexcept {
        if (!channel.Push(e)) return;
        channel.Wake();
        trace::HookWoke();
    }

    void RecordTime(const LARGE_INTEGER& start) noexcept {
        LARGE_INTEGER end;
        QueryPerformanceCounter(&end);
        const LONGLONG micros =
            std::clamp<LONGLONG>((end.QuadPart - start.QuadPart) * 1000000 / channel.ticksPerSecond, 0,
                                 std::numeric_limits<std::uint32_t>::max());
        channel.hookTimes.Record(static_cast<std::uint32_t>(micros));
    }

    void OnKey(WPARAM message, const KBDLLHOOKSTRUCT& k) noexcept {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        keyboardSeen = GetTickCount();
        sawInput = true;
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        // Caps Lock turns on or off as it goes down, not as it repeats.
        if (k.vkCode == VK_CAPITAL) {
            if (down && !capsLockHeld) capsLockOn = !capsLockOn;
            capsLockHeld = down;
        }
        const ModifierTracker::KeyEvent key = modifiers.OnKey(k.vkCode, down, k.time);
        if (key.raise) {
            trace::HookSaw(trace::Kind::kKey);
            KeyStamp stamp;
            if (PasswordFocus* focus = channel.focus.get())
                stamp = focus->Stamp(MayMoveFocus(key.code, key.mask), k.time);
            PublishInput({HookEvent::kKey, static_cast<std::int16_t>(key.code), key.mask, 0, 0, k.time, 0, stamp,
                          {static_cast<std::uint16_t>(k.scanCode), capsLockOn}});
        }
        RecordTime(start);
    }

    void OnMouse(WPARAM message, const MSLLHOOKSTRUCT& m) noexcept {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        mouseSeen = GetTickCount();
        sawInput = true;
        const std::int16_t button = MouseButtonCode(message, m.mouseData);
        if (button) {
            // Without the keyboard hook nothing keeps the record fresh.
            if (!keyboard) modifiers.MarkStale();
            const std::uint16_t mask = modifiers.MaskAt(m.time);
            // A click may move the focus; the keys after it wait for the watchers.
            if (PasswordFocus* focus = channel.focus.get()) focus->Stamp(true, m.time);
            trace::HookSaw(trace::Kind::kClick);
            PublishInput({HookEvent::kMouse, button, mask, m.pt.x, m.pt.y, m.time, 0, {}, {}});
        } else if (message == WM_MOUSEWHEEL && channel.wheel.load(std::memory_order_relaxed)) {
            PublishInput({HookEvent::kWheel,
                          static_cast<std::int16_t>(HIWORD(m.mouseData)),
                          0,
                          m.pt.x,
                          m.pt.y,
                          m.time,
                          0,
                          {},
                          {}});
        }
        RecordTime(start);
    }

    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && current) current->OnKey(wp, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp));
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    static LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && current) current->OnMouse(wp, *reinterpret_cast<const MSLLHOOKSTRUCT*>(lp));
        return CallNextHookEx(nullptr, code, wp, lp);
    }
};

// A message-only window of the user-interface thread that the hook thread wakes.
class SysInput::NotifyWindow final : public Window {
public:
    explicit NotifyWindow(SysInput& owner) : owner_(owner) {
        CreateWin("SpotlexSysInput", 0, 0, "", 0, 0, 0, 0, HWND_MESSAGE);
    }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kMsgInput) {
            owner_.Deliver();
            return 0;
        }
        if (msg == WM_TIMER && wp == kHoldTimer) {
            KillTimer(hwnd_, kHoldTimer);
            owner_.Deliver();
            return 0;
        }
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }

private:
    SysInput& owner_;
};

SysInput::SysInput() : SysInput(Options{}) {}

SysInput::SysInput(const Options& options) : options_(options), channel_(std::make_unique<Channel>()) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    channel_->ticksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    window_ = std::make_unique<NotifyWindow>(*this);
    channel_->notify = window_->Hwnd();
}

SysInput::~SysInput() {
    Stop();
    if (channel_->focus) channel_->focus->SetWake(nullptr);
}

void SysInput::SetPasswordFocus(std::shared_ptr<PasswordFocus> focus) {
    const bool running = thread_ != nullptr;
    if (running) Stop();
    if (channel_->focus) channel_->focus->SetWake(nullptr);
    channel_->focus = std::move(focus);
    if (Channel* channel = channel_.get(); channel->focus) {
        channel->focus->SetWake([channel] {
            if (channel->holding.load(std::memory_order_acquire)) channel->Wake();
        });
    }
    if (running) Start();
}

void SysInput::SetHooks(std::int32_t mask) {
    mask &= kHookAll;
    if (mask == hooks_) return;
    hooks_ = mask;
    if (enabled_) {
        Stop();
        Discard();
        Start();
    }
}

void SysInput::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled) {
        doubleClick_.Reset();
        Start();
    } else {
        Stop();
        Discard();
    }
}

void SysInput::SetWheel(bool on) noexcept {
    channel_->wheel.store(on, std::memory_order_relaxed);
}

const MicrosecondHistogram& SysInput::HookTimes() const noexcept {
    return channel_->hookTimes;
}

std::uint64_t SysInput::DroppedEvents() const noexcept {
    return channel_->dropped.load(std::memory_order_relaxed);
}

void SysInput::Start() {
    if (!(hooks_ & kHookAll)) return;
    auto t = std::make_unique<HookThread>(*channel_, options_, hooks_);
    t->ready.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (t->ready) t->handle.reset(CreateThread(nullptr, 0, &HookThread::Run, t.get(), 0, &t->id));
    if (!t->handle) {
        // No hook thread runs, so this thread may stand in as the ring's producer.
        const DWORD error = GetLastError();
        for (std::int32_t hook : {kHookKeyboard, kHookMouse}) {
            if (hooks_ & hook) {
                channel_->Push({HookEvent::kError, static_cast<std::int16_t>(hook), 0, 0, 0, GetTickCount(),
                                static_cast<std::int32_t>(error), {}, {}});
            }
        }
        channel_->Wake();
        hooks_ = 0;
        return;
    }
    HANDLE waits[2] = {t->ready.get(), t->handle.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    hooks_ = t->started;
    thread_ = std::move(t);
}

void SysInput::Stop() {
    if (!thread_) return;
    PostThreadMessageA(thread_->id, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_->handle.get(), INFINITE);
    thread_.reset();
}

void SysInput::Discard() {
    held_.reset();
    channel_->holding.store(false, std::memory_order_release);
    KillTimer(window_->Hwnd(), kHoldTimer);
    HookEvent e;
    while (channel_->ring.Pop(e)) {
    }
    channel_->posted.store(false, std::memory_order_release);
}

void SysInput::Deliver() {
    channel_->posted.exchange(false, std::memory_order_acq_rel);
    // A handler that lets messages run lands here again; the outer loop keeps the input order.
    if (draining_) return;
    draining_ = true;
    HookEvent e;
    for (;;) {
        if (!enabled_) break;
        if (held_) {
            e = *held_;
            held_.reset();
            channel_->holding.store(false, std::memory_order_release);
        } else if (!channel_->ring.Pop(e)) {
            break;
        }
        const KeyVerdict verdict = Screen(e);
        if (verdict == KeyVerdict::kWait) break;
        if (verdict == KeyVerdict::kShow) Raise(e);
    }
    draining_ = false;
}

// What the password watchers make of a key press; anything else is shown. A press to wait for is
// kept, and the events behind it stay in the ring, until they answer or its time is up.
KeyVerdict SysInput::Screen(const HookEvent& e) {
    if (e.kind != HookEvent::kKey || !channel_->focus) return KeyVerdict::kShow;
    const PasswordFocus& focus = *channel_->focus;
    const DWORD now = GetTickCount();
    KeyVerdict verdict = focus.Judge(e.stamp, now);
    if (verdict != KeyVerdict::kWait) return verdict;
    channel_->holding.store(true, std::memory_order_release);
    // An answer that came before `holding` was set woke nobody: look once more.
    verdict = focus.Judge(e.stamp, now);
    if (verdict != KeyVerdict::kWait) {
        channel_->holding.store(false, std::memory_order_release);
        return verdict;
    }
    held_ = std::make_unique<HookEvent>(e);
    SetTimer(window_->Hwnd(), kHoldTimer, e.stamp.movedAt + kFocusSettleMs - now, nullptr);
    return verdict;
}

void SysInput::Raise(const HookEvent& e) {
    if (e.kind != HookEvent::kError)
        trace::Delivered(e.kind == HookEvent::kKey ? trace::Kind::kKey : trace::Kind::kClick);
    try {
        switch (e.kind) {
            case HookEvent::kKey:
                if ((hooks_ & kHookKeyboard) && KeyDown) {
                    raisedKey_ = e.detail;
                    KeyDown(e.code, static_cast<std::int16_t>(e.mask));
                }
                break;
            case HookEvent::kMouse: {
                if (!(hooks_ & kHookMouse)) break;
                const DoubleClickRule rule{GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
                                           GetSystemMetrics(SM_CYDOUBLECLK)};
                const bool pair = doubleClick_.OnPress(e.code, e.time, e.x, e.y, rule);
                if (MouseDown) MouseDown(e.code, static_cast<std::int16_t>(e.mask), e.x, e.y);
                // The press's handler may have switched the hook off.
                if (pair && enabled_ && (hooks_ & kHookMouse) && DblClick) DblClick();
                break;
            }
            case HookEvent::kWheel:
                if ((hooks_ & kHookMouse) && Wheel) Wheel(e.x, e.y, e.code);
                break;
            case HookEvent::kError:
                hooks_ &= ~static_cast<std::int32_t>(e.code);
                if (Error) Error(e.error, e.code);
                break;
        }
    } catch (...) {
        LogCurrentException("SysInput", e.kind == HookEvent::kKey     ? "KeyDown"
                                        : e.kind == HookEvent::kMouse ? "MouseDown"
                                        : e.kind == HookEvent::kWheel ? "Wheel"
                                                                      : "Error");
    }
    trace::Mark(trace::kHandled);
}

}  // namespace spotlex
