// Start-up: the pause file, the settings file and the path rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/launcher_state.h"
#include "launcher/picker_list.h"
#include "launcher/platform.h"

namespace vorta {

inline constexpr wchar_t kAppTitle[] = L"vortastart";
inline constexpr wchar_t kPauseFileName[] = L"tardo.dat";
inline constexpr std::int16_t kDefaultPauseUnit = 5;
// The largest pause used is 6 units; 6 x 5461 still fits in 16 bits.
inline constexpr std::int16_t kMinPauseUnit = 1;
inline constexpr std::int16_t kMaxPauseUnit = 5461;

// Only the first line of the pause file counts; no more than this is read of it.
inline constexpr std::size_t kPauseFileHeadBytes = 4096;
// No settings file is larger than this; more is not read.
inline constexpr std::size_t kSettingsFileMaxBytes = 64 * 1024;
// The longest settings value, in ANSI bytes (the profile reader's buffer of 255 bytes).
inline constexpr std::size_t kSettingValueMaxBytes = 254;

extern const wchar_t kPauseFileMessage[];

// The first line of the pause file as a 16-bit number (rounded half to even), or
// nothing when the content is unusable.
std::optional<std::int16_t> ParsePauseFile(std::string_view bytes, const Platform& codec);

// The pause unit actually used: never zero, never negative, never so large that six of
// it overflow 16 bits.
std::int16_t ClampPauseUnit(std::int16_t value);

// App folder with exactly one trailing backslash.
std::wstring AppFolderOf(const std::wstring& applicationPath);

// Reads one value from AppFolder + fileBase + ".ini".
std::wstring ReadSetting(Platform& platform, const std::wstring& appFolder,
                         const std::wstring& fileBase, const std::wstring& section,
                         const std::wstring& key, const std::wstring& defaultValue);

// An integer setting read from the start of the text; saturates at the 32-bit limits.
std::int32_t ParseSettingInteger(std::wstring_view text);

LauncherSettings LoadLauncherSettings(Platform& platform, const std::wstring& appFolder);

// Last component of a path without its extension.
std::wstring BaseNameOf(std::wstring path);

// Main: pause file, then the launch sequence. Returns when the process should end.
void Main(Platform& platform, PickerHost& picker, LauncherState& state);

}  // namespace vorta
