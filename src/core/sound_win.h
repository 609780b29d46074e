#pragma once
// Sound effects: named events of the suite's sound scheme.
#include <string_view>

namespace spotlex {

// Sound effects on; from Play_Sounds, written by the properties dialog.
extern bool gbPlaySounds;

// Plays the file the scheme assigns to the event; waits for it when playSync. Silent on any error.
void PlayFX(std::string_view eventName, bool playSync);

}  // namespace spotlex
