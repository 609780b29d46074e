#include "core/sound_path.h"

#include "core/file_paths.h"

namespace spotlex {

std::string ResolveSoundFile(std::string_view schemeFile, std::string_view mediaFolder) {
    if (schemeFile.empty()) return {};
    // A backslash among the first three characters: "C:\..." or "\\server\...".
    if (schemeFile.substr(0, 3).find('\\') != std::string_view::npos) return std::string(schemeFile);
    if (mediaFolder.empty()) return std::string(schemeFile);
    return WithBackslash(mediaFolder) + std::string(schemeFile);
}

std::string PickMediaFolder(std::string_view mediaPath, std::string_view mediaPathUnexpanded,
                            std::string_view windowsFolder) {
    if (!mediaPath.empty()) return WithBackslash(mediaPath);
    if (!mediaPathUnexpanded.empty()) return WithBackslash(mediaPathUnexpanded);
    if (!windowsFolder.empty()) return WithBackslash(windowsFolder) + "Media\\";
    return {};
}

}  // namespace spotlex
