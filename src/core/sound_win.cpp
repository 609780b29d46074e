#include "core/sound_win.h"

#include <windows.h>
#include <mmsystem.h>

#include "core/file_win.h"
#include "core/registry_win.h"
#include "core/sound_path.h"
#include "core/wide_text_win.h"

namespace spotlex {

bool gbPlaySounds = false;

namespace {

constexpr const char* kCurrentVersionKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kSchemeAppKey = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Classkit\\";
constexpr const char* kSchemeSectionKey = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Classkit";

// The machine's sound for the event when the suite is installed for all users and this user has
// no section of their own in the Sounds control panel (which a per-user install names); else empty.
// Read without creating anything.
std::string MachineSoundFile(std::string_view eventName) {
    RegistrySetting probe;
    if (!probe.KeyExists(kMachineSoundsKey)) return {};
    if (probe.KeyExists(kSchemeSectionKey)) {
        RegistrySetting section;
        section.OpenKey(kSchemeSectionKey);
        if (!TextOrEmpty(section.Value("", rgsString)).empty()) return {};
    }
    RegistrySetting machine;
    machine.OpenKey(kMachineSoundsKey);
    return TextOrEmpty(machine.Value(eventName, rgsString));
}


}  // namespace

std::string MediaFolder() {
    std::string mediaPath;
    std::string unexpanded;
    try {
        // Current Windows has no MediaPath, only the expandable MediaPathUnexpanded.
        RegistrySetting versionKey;
        versionKey.OpenKey(kCurrentVersionKey);
        mediaPath = TextOrEmpty(versionKey.Value("MediaPath", rgsString));
        if (mediaPath.empty()) unexpanded = TextOrEmpty(versionKey.Value("MediaPathUnexpanded", rgsString));
    } catch (const AppError&) {
        // The key could not be opened: the Windows folder still knows where its media are.
    }
    if (!unexpanded.empty()) unexpanded = ExpandEnvironment(unexpanded);
    return PickMediaFolder(mediaPath, unexpanded, WindowsDirectory());
}

std::string SoundFileForEvent(std::string_view eventName) {
    if (std::string machine = MachineSoundFile(eventName); !machine.empty())
        return ResolveSoundFile(ExpandEnvironment(machine), MediaFolder());
    RegistrySetting scheme;
    scheme.OpenKey(std::string(kSchemeAppKey) + std::string(eventName) + "\\.Current");
    // Schemes store "%SystemRoot%\media\...": expand before deciding whether it is a drive path.
    std::string file = TextOrEmpty(scheme.Value("", rgsString));
    if (file.empty()) return {};
    file = ExpandEnvironment(file);
    return ResolveSoundFile(file, MediaFolder());
}

void PlayFX(std::string_view eventName, bool playSync) noexcept {
    const UINT flags = playSync ? 0 : SND_ASYNC;
    if (!gbPlaySounds) return;
    try {
        const std::string file = SoundFileForEvent(eventName);
        if (!file.empty()) sndPlaySoundW(Wide(file).c_str(), flags | SND_NODEFAULT | SND_FILENAME);
    } catch (...) {
        // A sound is never worth an error message.
    }
}

}  // namespace spotlex
