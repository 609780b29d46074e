#pragma once
// Which file a sound event plays: the decision of PlayFX without the registry and the sound card.
#include <string>
#include <string_view>

namespace spotlex {

// The file to play for the scheme's entry of an event, or empty for silence. `schemeFile` has had
// its environment references expanded. A drive path ("C:\...") or network path ("\\server\...")
// plays unchanged; anything else is a name inside `mediaFolder`.
std::string ResolveSoundFile(std::string_view schemeFile, std::string_view mediaFolder);

// The Windows media folder, ending in a backslash: `mediaPath` (older Windows) when set, else
// `mediaPathUnexpanded` (expanded already), else the Windows folder's "Media".
std::string PickMediaFolder(std::string_view mediaPath, std::string_view mediaPathUnexpanded,
                            std::string_view windowsFolder);

}  // namespace spotlex
