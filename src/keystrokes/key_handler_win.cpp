#include "keystrokes/key_handler_win.h"

#include <utility>

#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/latency_trace_win.h"
#include "keystrokes/key_naming.h"

namespace spotlex {
namespace {
constexpr std::string_view kModule = "frmMain";
constexpr std::string_view kProcedure = "SysInput1_KeyDown";
}  // namespace

KeystrokeHandler::KeystrokeHandler(DisplayFn display, SoundFn sound)
    : display_(std::move(display)), sound_(std::move(sound)) {}

void KeystrokeHandler::KeyDown(std::int16_t keyCode, std::int16_t shift, bool showShiftedKeys,
                               const KeyLayout* layout, bool capsLock) const noexcept {
    if (guard_ && guard_->Hidden()) return;
    if (pause_ && (pause_->Paused() || (pauseKey_ != 0 && MakeLong(shift, keyCode) == pauseKey_))) return;
    // Each step logs its own failure and the next one still runs; an unreadable entry is unlisted.
    bool listed = false;
    LogAndContinue(kModule, kProcedure, [&] {
        if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
        listed = IsListed(goCurrentUser->Value(FilterValueName(MakeLong(shift, keyCode)), rgsString));
    });

    std::int32_t includeExclude = 1;
    LogAndContinue(kModule, kProcedure,
                   [&] { includeExclude = GetSetting(settings::kKeyIncludeExclude); });

    KeyPressOutcome outcome;
    CapText caps;
    LogAndContinue(kModule, kProcedure, [&] {
        if (!layout) {
            outcome = DecideKeyPress(keyCode, shift, showShiftedKeys, listed, includeExclude);
            caps = FontCodes(outcome.text);
        } else {
            // Named once, in the layout; the US name is not made first.
            outcome.playSound = PassesFilter(listed, includeExclude);
            if (outcome.playSound) caps = NameKeyInLayout(keyCode, shift, capsLock, showShiftedKeys, *layout);
        }
    });
    trace::Mark(trace::kNamed);

    // The key caps first: starting the sound is a trip to the sound system that would hold back
    // the picture, while the sound, played asynchronously, is heard no later for it.
    if (!caps.empty() && display_) {
        LogAndContinue(kModule, kProcedure, [&] { display_(caps); });
    }
    if (outcome.playSound && sound_) {
        LogAndContinue(kModule, kProcedure, [&] { sound_("CKKeystroke", false); });
    }
    trace::Mark(trace::kSounded);
}

}  // namespace spotlex
