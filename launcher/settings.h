// The settings file "Lumset.ini" beside the program: the eight keys of its section
// [Main], how a value is read and how an integer value is understood.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "launcher/launcher_state.h"
#include "launcher/platform.h"

namespace vorta {

inline constexpr wchar_t kSettingsFileBase[] = L"Lumset";
inline constexpr wchar_t kSettingsSection[] = L"Main";

// No settings file is larger than this; more is not read.
inline constexpr std::size_t kSettingsFileMaxBytes = 64 * 1024;
// The longest settings value, in ANSI bytes (the profile reader's buffer of 255 bytes).
inline constexpr std::size_t kSettingValueMaxBytes = 254;

// The keys of [Main], in the order they are read: four captions, then four control
// identifiers.
inline constexpr std::size_t kSettingCount = 8;
enum SettingKey : std::size_t {
    kACADName,
    kCommandCaption,
    kMainCaption,
    kTextCaption,
    kMainCmdCtrlID,
    kTextCmdCtrlID,
    kMainHistCtrlID,
    kTextHistCtrlID,
};
const wchar_t* KeyName(std::size_t key);
bool IsIntegerKey(std::size_t key);
// TextCmdCtrlID and MainHistCtrlID: read and held, used by no part of the launcher.
bool IsUnusedKey(std::size_t key);

// The eight values as text, in key order.
using SettingTexts = std::array<std::wstring, kSettingCount>;
// The settings for these texts: captions as they are, identifiers read by
// ParseSettingInteger.
LauncherSettings SettingsOf(const SettingTexts& texts);

// Reads one value from AppFolder + fileBase + ".ini".
std::wstring ReadSetting(Platform& platform, const std::wstring& appFolder,
                         const std::wstring& fileBase, const std::wstring& section,
                         const std::wstring& key, const std::wstring& defaultValue);

// An integer setting read from the start of the text; saturates at the 32-bit limits.
std::int32_t ParseSettingInteger(std::wstring_view text);
// Whether ParseSettingInteger reads the whole text as its number: digits, and nothing
// before or after the number but the blanks it skips.
bool IsWholeSettingInteger(std::wstring_view text);

// The eight keys of [Main] in appFolder's Lumset.ini; a missing caption reads "???",
// a missing identifier 0.
LauncherSettings LoadLauncherSettings(Platform& platform, const std::wstring& appFolder);

// The program's folder and the settings read there, into the shared state.
void LoadStateSettings(Platform& platform, LauncherState& state);

}  // namespace vorta
