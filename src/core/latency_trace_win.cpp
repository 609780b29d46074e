#include "core/latency_trace_win.h"

#ifdef SPOTLEX_LATENCY_TRACE
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace spotlex::trace {
namespace {

constexpr std::size_t kSlots = 8192;

struct Record {
    std::array<std::atomic<LONGLONG>, kPoints> at{};
};

// One table per kind. The hook thread fills kHook and kWoken of slot `hooked`; the user-interface
// thread the rest of slot `handling`; a writer thread appends finished slots to the trace file.
struct Table {
    std::array<Record, kSlots> slots;
    std::atomic<std::size_t> hooked{0};
    std::size_t handling = 0;  // user-interface thread only
    std::atomic<std::size_t> written{0};
};

Table g_tables[2];
std::atomic<Table*> g_current{nullptr};

LONGLONG Stamp() noexcept {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Appends the slots whose handling is over: one line per event, its kind, then every step's
// performance-counter value (0 for a step the event did not pass).
DWORD WINAPI Writer(void*) {
    const char* path = std::getenv("SPOTLEX_TRACE_FILE");
    FILE* f = std::fopen(path && *path ? path : "latency-trace.txt", "w");
    if (!f) return 0;
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    std::fprintf(f, "frequency %lld\n", static_cast<long long>(freq.QuadPart));
    std::fflush(f);
    for (;;) {
        Sleep(500);
        for (int k = 0; k < 2; ++k) {
            Table& t = g_tables[k];
            const std::size_t hooked = t.hooked.load(std::memory_order_acquire);
            std::size_t w = t.written.load(std::memory_order_relaxed);
            const LONGLONG now = Stamp();
            for (; w < hooked; ++w) {
                Record& r = t.slots[w % kSlots];
                const LONGLONG hook = r.at[kHook].load(std::memory_order_acquire);
                // Wait for the handler, but not for ever: an event may have been dropped.
                if (!r.at[kHandled].load(std::memory_order_acquire) && now - hook < freq.QuadPart * 2) break;
                std::fprintf(f, "%s", k == 0 ? "key" : "click");
                for (auto& p : r.at) std::fprintf(f, " %lld", static_cast<long long>(p.load()));
                std::fprintf(f, "\n");
                for (auto& p : r.at) p.store(0);
            }
            t.written.store(w, std::memory_order_relaxed);
        }
        std::fflush(f);
    }
}

void StartWriter() noexcept {
    static const bool started = [] {
        if (HANDLE h = CreateThread(nullptr, 0, &Writer, nullptr, 0, nullptr)) CloseHandle(h);
        return true;
    }();
    (void)started;
}

}  // namespace

void HookSaw(Kind kind) noexcept {
    StartWriter();
    Table& t = g_tables[static_cast<int>(kind)];
    const std::size_t i = t.hooked.load(std::memory_order_relaxed);
    t.slots[i % kSlots].at[kHook].store(Stamp(), std::memory_order_release);
    t.hooked.store(i + 1, std::memory_order_release);
}

void HookWoke() noexcept {
    const LONGLONG now = Stamp();
    for (Table& t : g_tables) {
        const std::size_t i = t.hooked.load(std::memory_order_relaxed);
        if (i == 0) continue;
        auto& woken = t.slots[(i - 1) % kSlots].at[kWoken];
        if (!woken.load(std::memory_order_relaxed)) woken.store(now, std::memory_order_release);
    }
}

void Delivered(Kind kind) noexcept {
    Table& t = g_tables[static_cast<int>(kind)];
    g_current.store(&t, std::memory_order_relaxed);
    t.slots[t.handling % kSlots].at[kDelivered].store(Stamp(), std::memory_order_release);
    ++t.handling;
}

void Mark(Point point) noexcept {
    Table* t = g_current.load(std::memory_order_relaxed);
    if (!t || t->handling == 0) return;
    auto& slot = t->slots[(t->handling - 1) % kSlots].at[point];
    // The first time a step is passed counts: a later repaint or frame of the same event does
    // not move it, and a first paint after the handler still counts for it.
    if (!slot.load(std::memory_order_relaxed)) slot.store(Stamp(), std::memory_order_release);
}

}  // namespace spotlex::trace
#endif
