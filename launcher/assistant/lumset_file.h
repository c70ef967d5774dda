// Writing Lumset.ini: the eight keys of [Main] as text, the rewrite that changes only
// their lines, and the save that never leaves a half-written file.
// The files themselves are reached through SettingsFileSystem, so the rules run
// natively against a fake.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/launcher_state.h"
#include "launcher/platform.h"
#include "launcher/settings.h"

// The keys of [Main] and their values as text are the launcher's own (settings.h).
namespace vorta::assistant {

// The eight values as text: captions as they are, identifiers in decimal.
SettingTexts TextsOf(const LauncherSettings& settings);

// What keeps a text from being written as the key's value (a line break, too long, not
// in the code page, not a number), for the user; nothing when it can be written.
std::optional<std::wstring> ValueProblem(std::size_t key, const std::wstring& text,
                                         const Platform& codec);

// A value as it is written after "=": in double quotes when the reader would otherwise
// change it (blanks at either end, or enclosing quotes of its own), which it takes off.
std::wstring FormatSettingValue(std::wstring_view value);

// New values for some of the keys; a key without one keeps its line as it is.
using LumsetChanges = std::array<std::optional<std::wstring>, kSettingCount>;

// The file with the changes made, in the code page with CR LF line ends. In the first
// [Main] section (the one the launcher reads, found by its own ProfileSectionWalk) the
// first line of each changed key gets
// the new value; a line whose value already reads as the new one is kept, and so is
// every other line, byte for byte. Missing keys are added after the section's last key
// line; a missing section is added at the end. A file saved as UTF-8 or UTF-16 is
// written in the code page; nothing when it holds a character the code page lacks. The
// result is always read in the code page (DetectEncoding): bytes that would pass for
// UTF-8 get a comment line first that says the file is Shift_JIS.
std::optional<std::string> RewriteLumset(std::string_view oldBytes, const LumsetChanges& changes,
                                         const Platform& codec);

// --- Saving.

inline constexpr wchar_t kLumsetFileName[] = L"Lumset.ini";
inline constexpr wchar_t kLumsetBackupName[] = L"Lumset.ini.bak";
inline constexpr wchar_t kLumsetTemporaryName[] = L"Lumset.ini.tmp";
// A settings file larger than this is not rewritten.
inline constexpr std::size_t kLumsetMaxBytes = 1024 * 1024;

enum class FileStatus {
    kOk,
    kMissing,
    kReadOnly,      // the file has the read-only attribute
    kInUse,         // another program has it open
    kIsFolder,      // a folder has the file's name
    kAccessDenied,  // no right to write there
    kFailed,        // anything else: the code and the system's text tell
};

struct FileResult {
    FileStatus status = FileStatus::kOk;
    std::uint32_t code = 0;  // the system's error number
    std::wstring detail;     // the system's text for it, when it has one
    bool ok() const { return status == FileStatus::kOk; }
};

// The few file operations of a save, each complete or not done at all.
class SettingsFileSystem {
  public:
    virtual ~SettingsFileSystem() = default;
    // The whole file (at most kLumsetMaxBytes; a larger one fails).
    virtual FileResult ReadWhole(const std::wstring& path, std::string& bytes) = 0;
    // Creates or empties the file and writes the bytes through to the disk. A file left
    // there (read-only or hidden, perhaps) is replaced whatever its attributes.
    virtual FileResult WriteNew(const std::wstring& path, std::string_view bytes) = 0;
    // Renames `from` to `to` in one step, replacing `to` (not a read-only one).
    virtual FileResult Rename(const std::wstring& from, const std::wstring& to) = 0;
    virtual void Remove(const std::wstring& path) = 0;
};

struct SaveOutcome {
    bool saved = false;
    std::wstring message;  // what to tell the user, either way
};

// Saves the changes to appFolder + "Lumset.ini": the new text goes to a temporary file
// first, the old file's bytes to "Lumset.ini.bak", and only then does the temporary
// file replace it. When a step fails, the temporary file is removed, the old file is
// left as it was, and the message names the folder, the file and the system's cause.
SaveOutcome SaveLumset(SettingsFileSystem& files, const Platform& codec,
                       const std::wstring& appFolder, const LumsetChanges& changes);

}  // namespace vorta::assistant
