#pragma once
// Helpers for tests that look at the errata log: a folder of the test's own that the log is sent
// to (the machine-wide "Path" value), and reading files whole.
#include <string>
#include <vector>

namespace spotlex::test {

// Creates a new empty folder under the temporary folder; returns it with a trailing backslash.
std::string MakeTempFolder(const std::string& prefix);

// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// Splits text at CR-LF; a text ending in CR-LF ends in one empty piece.
std::vector<std::string> SplitCrLf(const std::string& text);

// Sets "Path" of the machine-wide key to a fresh folder (or to `path` as given) for one scope and
// removes the value again afterwards.
class ScopedLogFolder {
public:
    ScopedLogFolder();
    explicit ScopedLogFolder(const std::string& path);
    ~ScopedLogFolder();
    ScopedLogFolder(const ScopedLogFolder&) = delete;
    ScopedLogFolder& operator=(const ScopedLogFolder&) = delete;

    // The folder, with a trailing backslash.
    const std::string& Folder() const { return folder_; }
    std::string LogFile() const { return folder_ + "errata.log"; }
    std::string LogText() const { return ReadWholeFile(LogFile()); }
    // Entries so far: each ends in a line of 64 dashes.
    int EntryCount() const;

private:
    std::string folder_;
};

// Removes "Path" from the machine-wide key.
void ClearMachinePath();

}  // namespace spotlex::test
