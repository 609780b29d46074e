#include "core/sound_win.h"

#include <windows.h>
#include <mmsystem.h>

#include <initializer_list>
#include <map>

#include "core/file_win.h"
#include "core/registry_watch_win.h"
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

// The deepest of the keys that exists, for watching what is under it: a key made later under
// one that is watched is a change too.
HKEY OpenForWatch(HKEY root, std::initializer_list<const wchar_t*> deepestFirst) {
    for (const wchar_t* subkey : deepestFirst) {
        HKEY h = nullptr;
        if (RegOpenKeyExW(root, subkey, 0, KEY_NOTIFY, &h) == ERROR_SUCCESS) return h;
    }
    return nullptr;
}

// What each event plays, found once until the sound scheme or the machine's sounds change: a key
// press would otherwise open four or five keys to learn, most often, that nothing is to play.
class KeptSoundFiles {
public:
    std::string File(std::string_view eventName) {
        if (watch_.Changed()) files_.clear();
        if (auto it = files_.find(eventName); it != files_.end()) return it->second;
        std::string file = SoundFileForEvent(eventName);
        files_.emplace(std::string(eventName), file);
        return file;
    }

private:
    RegistryWatch watch_{
        std::initializer_list<HKEY>{OpenForWatch(HKEY_CURRENT_USER, {L"AppEvents", L""}),
                                    OpenForWatch(HKEY_LOCAL_MACHINE, {L"Software\\Parvane\\Classkit\\4.5",
                                                                      L"Software\\Parvane", L"Software"})}};
    std::map<std::string, std::string, std::less<>> files_;
};

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

std::string PlayedSoundFile(std::string_view eventName) {
    static KeptSoundFiles kept;
    return kept.File(eventName);
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
        const std::string file = PlayedSoundFile(eventName);
        if (!file.empty()) sndPlaySoundW(Wide(file).c_str(), flags | SND_NODEFAULT | SND_FILENAME);
    } catch (...) {
        // A sound is never worth an error message.
    }
}

}  // namespace spotlex
