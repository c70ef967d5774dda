#include "launcher/settings.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "launcher/ansi_text.h"
#include "launcher/numbers.h"
#include "launcher/paths.h"
#include "launcher/text_file.h"

namespace vorta {

namespace {

constexpr std::array<const wchar_t*, kSettingCount> kKeyNames{
    L"ACADName",      L"CommandCaption", L"MainCaption",    L"TextCaption",
    L"MainCmdCtrlID", L"TextCmdCtrlID",  L"MainHistCtrlID", L"TextHistCtrlID",
};

std::int32_t SaturateToInt32(const WholeNumber& rounded) {
    if (rounded.negative) {
        if (rounded.beyond || rounded.magnitude >= 2147483648u)
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(rounded.magnitude));
    }
    if (rounded.beyond || rounded.magnitude >= 2147483647u)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded.magnitude);
}

}  // namespace

const wchar_t* KeyName(std::size_t key) {
    return kKeyNames.at(key);
}

bool IsIntegerKey(std::size_t key) {
    return key >= kMainCmdCtrlID;
}

bool IsUnusedKey(std::size_t key) {
    return key == kTextCmdCtrlID || key == kMainHistCtrlID;
}

LauncherSettings SettingsOf(const SettingTexts& t) {
    LauncherSettings s;
    s.ACADName = t[kACADName];
    s.CommandCaption = t[kCommandCaption];
    s.MainCaption = t[kMainCaption];
    s.TextCaption = t[kTextCaption];
    s.MainCmdCtrlID = ParseSettingInteger(t[kMainCmdCtrlID]);
    s.TextCmdCtrlID = ParseSettingInteger(t[kTextCmdCtrlID]);
    s.MainHistCtrlID = ParseSettingInteger(t[kMainHistCtrlID]);
    s.TextHistCtrlID = ParseSettingInteger(t[kTextHistCtrlID]);
    return s;
}

std::wstring ReadSetting(Platform& platform, const std::wstring& appFolder,
                         const std::wstring& fileBase, const std::wstring& section,
                         const std::wstring& key, const std::wstring& defaultValue) {
    const std::wstring path = appFolder + fileBase + L".ini";
    std::string value;
    // A file saved as UTF-8 or UTF-16 is read here: the system's profile reader takes
    // UTF-8 for the code page. A file in the code page goes to the system's reader as
    // ever. Either way the value is then held in the code page, like window titles.
    const std::optional<std::string> bytes = platform.ReadFileHead(path, kSettingsFileMaxBytes);
    if (bytes && DetectEncoding(*bytes) != TextEncoding::kAnsi) {
        value = platform.ToAnsi(
            ProfileValue(DecodeText(*bytes, platform), section, key).value_or(defaultValue));
    } else {
        value = platform.ReadProfileString(section, key, defaultValue, path);
    }
    // A value is at most 254 bytes in the ANSI code page, cut where a character ends.
    return platform.FromAnsi(CutAnsi(platform, value, kSettingValueMaxBytes));
}

namespace {

// An integer setting as the launcher reads it, and whether the number took the whole text.
struct SettingInteger {
    std::int32_t value = 0;
    bool whole = false;
};

SettingInteger ReadSettingInteger(std::wstring_view raw) {
    std::wstring text;
    for (wchar_t c : raw)
        if (!IsNumberBlank(c)) text += c;  // blanks count nowhere: "1 2" reads as 12

    if (text.size() >= 2 && text[0] == L'&') {
        int base = (text[1] == L'H' || text[1] == L'h')   ? 16
                   : (text[1] == L'O' || text[1] == L'o') ? 8
                                                          : 0;
        if (base != 0) {
            std::uint64_t value = 0;
            std::size_t i = 2;
            for (; i < text.size(); ++i) {
                wchar_t c = text[i];
                int digit = IsDecimalDigit(c)                        ? c - L'0'
                            : (base == 16 && c >= L'a' && c <= L'f') ? c - L'a' + 10
                            : (base == 16 && c >= L'A' && c <= L'F') ? c - L'A' + 10
                                                                     : -1;
                if (digit < 0 || digit >= base) break;
                value = std::min<std::uint64_t>(value * base + digit, 1ull << 40);
            }
            return {value > 2147483647u ? std::numeric_limits<std::int32_t>::max()
                                        : static_cast<std::int32_t>(value),
                    i > 2 && i == text.size()};
        }
    }
    ScannedNumber scanned = ScanDecimal(text);
    if (!scanned.hasDigits) return {};
    return {SaturateToInt32(RoundToWhole(scanned)), scanned.used == text.size()};
}

}  // namespace

std::int32_t ParseSettingInteger(std::wstring_view text) {
    return ReadSettingInteger(text).value;
}

bool IsWholeSettingInteger(std::wstring_view text) {
    return ReadSettingInteger(text).whole;
}

LauncherSettings LoadLauncherSettings(Platform& platform, const std::wstring& appFolder) {
    SettingTexts texts;
    for (std::size_t k = 0; k < kSettingCount; ++k)
        texts[k] = ReadSetting(platform, appFolder, kSettingsFileBase, kSettingsSection, KeyName(k),
                               IsIntegerKey(k) ? L"0" : L"???");
    return SettingsOf(texts);
}

void LoadStateSettings(Platform& platform, LauncherState& state) {
    state.AppFolder = AppFolderOf(platform.ApplicationPath());
    state.settings = LoadLauncherSettings(platform, state.AppFolder);
}

}  // namespace vorta
