#pragma once
// Sound effects: named events of the suite's sound scheme.
#include <string>
#include <string_view>

namespace spotlex {

// Sound effects on; from Play_Sounds, written by the properties dialog. Off until Main reads it.
extern bool gbPlaySounds;

// Plays the file the scheme assigns to the event (PlayedSoundFile); waits for it when playSync.
// Silent on any error, and for an event without a file (no default beep).
void PlayFX(std::string_view eventName, bool playSync) noexcept;

// SoundFileForEvent, looked up once per event until the sound scheme or the machine's sounds
// change in the registry. User-interface thread only.
std::string PlayedSoundFile(std::string_view eventName);

// The Windows media folder, ending in a backslash: MediaPath, else MediaPathUnexpanded expanded,
// else the Windows folder's "Media".
std::string MediaFolder();

// The sounds of an all-users install: one text value per event, the file to play.
inline constexpr const char* kMachineSoundsKey = "HKEY_LOCAL_MACHINE\\Software\\Parvane\\Classkit\\4.5\\Sounds";

// The file PlayFX plays for the event, or empty. Opening the event's scheme key creates it. A user
// without the suite's section in the Sounds control panel hears the machine's sounds, where an
// all-users install registered them. Raises the settings store's errors.
std::string SoundFileForEvent(std::string_view eventName);

}  // namespace spotlex
