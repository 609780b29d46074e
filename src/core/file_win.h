#pragma once
// One file location and the questions asked about it, plus the same for a bare path.
// Locations may start with "%sys%" or "%win%" (the module functions: "%sysdir%", "%win%") and
// may hold environment references such as cursor schemes store.
#include <cstdint>
#include <string>
#include <string_view>

namespace spotlex {

class CFile {
public:
    const std::string& Location() const noexcept { return location_; }
    void SetLocation(std::string location) { location_ = std::move(location); }

    // The Windows system folder and the Windows folder, never ending in "\"; empty on failure.
    std::string SystemDirectory() const;
    std::string WindowsDirectory() const;

    // Expands environment references, then a leading "%sys%" or "%win%", in place.
    void ExpandFile();

    // The short (8.3) form of the location; empty when the file does not exist.
    std::string ShortPath() const;

    std::string Folder() const;
    std::string FileName(bool withExtension = false) const;
    std::string Extension() const;

    // True for an existing, visible file: folders, hidden and system files count as missing.
    bool Exists() const;

private:
    std::string location_;
};

// The existence test for a bare path; `expand` applies environment references and the
// "%sysdir%" and "%win%" tokens first.
bool FileExists(std::string_view path, bool expand);

// The folder of the running program, ending in "\"; empty when it cannot be read.
std::string ProgramFolder();

std::string SystemDirectory();
std::string WindowsDirectory();

// Environment references of `text` expanded completely; the text itself when expansion fails.
std::string ExpandEnvironment(std::string_view text);

// The screen's bits per pixel.
std::int32_t NumDisplayColors();

}  // namespace spotlex
