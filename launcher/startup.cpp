// Start-up of vortastart: the pause file "tardo.dat", the settings file "Lumset.ini",
// and the path rules shared by the rest of the launcher.
#include "launcher/startup.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "launcher/ansi_text.h"
#include "launcher/launch.h"
#include "launcher/text_file.h"

namespace vorta {

const wchar_t kPauseFileMessage[] =
    L"tardo.datファイルがありません。ディレイする値１～２０をセットして"
    L"\u3000tardo.datというファイルを作成してください。";

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n';
}

// The pause message itself shows the digits full-width, so a user may well type them
// that way: full-width digits, signs, point and the ideographic space read as their
// ASCII counterparts.
wchar_t NarrowFullWidth(wchar_t c) {
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<wchar_t>(L'0' + (c - 0xFF10));
    switch (c) {
        case 0xFF0B:
            return L'+';
        case 0xFF0D:
            return L'-';
        case 0x2212:
            return L'-';
        case 0xFF0E:
            return L'.';
        case 0x3000:
            return L' ';
        default:
            return c;
    }
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Scans a decimal number (sign, digits, one point, exponent E or D) from the start of
// text. Returns the ASCII form for from_chars and how many characters were used.
struct ScannedNumber {
    std::string ascii;
    std::size_t used = 0;
    bool hasDigits = false;
};

ScannedNumber ScanDecimal(std::wstring_view text) {
    ScannedNumber out;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') out.ascii += '-';
        ++i;
    }
    bool point = false;
    for (; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (IsDigit(c)) {
            out.ascii += static_cast<char>(c);
            out.hasDigits = true;
        } else if (c == L'.' && !point) {
            out.ascii += '.';
            point = true;
        } else {
            break;
        }
    }
    if (out.hasDigits && i < text.size() &&
        (text[i] == L'E' || text[i] == L'e' || text[i] == L'D' || text[i] == L'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) {
            exponent += static_cast<char>(text[j]);
            ++j;
        }
        std::size_t digitsStart = j;
        while (j < text.size() && IsDigit(text[j])) exponent += static_cast<char>(text[j++]);
        if (j > digitsStart) {
            out.ascii += exponent;
            i = j;
        }
    }
    out.used = i;
    return out;
}

// The power of ten of the first nonzero digit of a scanned number without its sign
// ("0.05" gives -2, "120e1" gives 3); nothing when every digit is zero. The exponent is
// held at a bound far beyond any double, so no count wraps.
std::optional<long long> LeadingPowerOfTen(std::string_view ascii) {
    constexpr long long kExponentBound = 1'000'000'000'000;
    const std::size_t e = ascii.find('e');
    const std::string_view mantissa = ascii.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::size_t i = e + 1;
        const bool negative = i < ascii.size() && ascii[i] == '-';
        if (i < ascii.size() && (ascii[i] == '-' || ascii[i] == '+')) ++i;
        for (; i < ascii.size(); ++i)
            exponent = std::min(exponent * 10 + (ascii[i] - '0'), kExponentBound);
        if (negative) exponent = -exponent;
    }
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) return std::nullopt;
    std::size_t point = mantissa.find('.');
    if (point == std::string_view::npos) point = mantissa.size();
    const long long position = first < point ? static_cast<long long>(point - first - 1)
                                             : -static_cast<long long>(first - point);
    return position + exponent;
}

double ToDouble(const std::string& ascii) {
    bool negative = !ascii.empty() && ascii.front() == '-';
    const char* first = ascii.data() + (negative ? 1 : 0);
    double value = 0;
    auto result = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it does not fit. A number that does
        // not fit is either beyond every limit or closer to zero than any double; its
        // first nonzero digit tells which, whatever its exponent says on its own
        // ("1000...e-0" is huge, "0.000...1" is about zero).
        std::optional<long long> power =
            LeadingPowerOfTen(std::string_view(first, ascii.data() + ascii.size() - first));
        value = power && *power >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int32_t SaturateToInt32(double value) {
    double rounded = std::nearbyint(value);  // default rounding: halves to the even neighbour
    if (rounded >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (rounded <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::optional<std::int16_t> ParsePauseFile(std::string_view bytes, const Platform& codec) {
    if (bytes.empty()) return std::nullopt;  // no line to read
    // The first line ends at the first CR (CR LF counts as one line end); a lone LF
    // does not end it.
    std::wstring text;
    if (DetectEncoding(bytes) == TextEncoding::kAnsi) {
        text = codec.FromAnsi(bytes.substr(0, bytes.find('\r')));
    } else {  // saved by Notepad as UTF-8 or UTF-16
        text = DecodeText(bytes, codec);
        text.resize(std::min(text.size(), text.find(L'\r')));
    }
    for (wchar_t& c : text) c = NarrowFullWidth(c);

    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    std::wstring_view number(text.data() + begin, end - begin);

    ScannedNumber scanned = ScanDecimal(number);
    if (!scanned.hasDigits || scanned.used != number.size()) return std::nullopt;
    double rounded = std::nearbyint(ToDouble(scanned.ascii));
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

std::int16_t ClampPauseUnit(std::int16_t value) {
    if (value < kMinPauseUnit) return kMinPauseUnit;
    if (value > kMaxPauseUnit) return kMaxPauseUnit;
    return value;
}

std::wstring AppFolderOf(const std::wstring& applicationPath) {
    if (!applicationPath.empty() && applicationPath.back() == L'\\') return applicationPath;
    return applicationPath + L'\\';
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

std::int32_t ParseSettingInteger(std::wstring_view raw) {
    std::wstring text;
    for (wchar_t c : raw)
        if (!IsBlank(c)) text += c;  // blanks count nowhere: "1 2" reads as 12

    if (text.size() >= 2 && text[0] == L'&') {
        int base = (text[1] == L'H' || text[1] == L'h')   ? 16
                   : (text[1] == L'O' || text[1] == L'o') ? 8
                                                          : 0;
        if (base != 0) {
            std::uint64_t value = 0;
            for (std::size_t i = 2; i < text.size(); ++i) {
                wchar_t c = text[i];
                int digit = IsDigit(c)                               ? c - L'0'
                            : (base == 16 && c >= L'a' && c <= L'f') ? c - L'a' + 10
                            : (base == 16 && c >= L'A' && c <= L'F') ? c - L'A' + 10
                                                                     : -1;
                if (digit < 0 || digit >= base) break;
                value = std::min<std::uint64_t>(value * base + digit, 1ull << 40);
            }
            return value > 2147483647u ? std::numeric_limits<std::int32_t>::max()
                                       : static_cast<std::int32_t>(value);
        }
    }
    ScannedNumber scanned = ScanDecimal(text);
    if (!scanned.hasDigits) return 0;
    return SaturateToInt32(ToDouble(scanned.ascii));
}

LauncherSettings LoadLauncherSettings(Platform& platform, const std::wstring& appFolder) {
    auto text = [&](const wchar_t* key, const wchar_t* def) {
        return ReadSetting(platform, appFolder, L"Lumset", L"Main", key, def);
    };
    LauncherSettings s;
    s.ACADName = text(L"ACADName", L"???");
    s.CommandCaption = text(L"CommandCaption", L"???");
    s.MainCaption = text(L"MainCaption", L"???");
    s.TextCaption = text(L"TextCaption", L"???");
    s.MainCmdCtrlID = ParseSettingInteger(text(L"MainCmdCtrlID", L"0"));
    s.TextCmdCtrlID = ParseSettingInteger(text(L"TextCmdCtrlID", L"0"));
    s.MainHistCtrlID = ParseSettingInteger(text(L"MainHistCtrlID", L"0"));
    s.TextHistCtrlID = ParseSettingInteger(text(L"TextHistCtrlID", L"0"));
    return s;
}

std::wstring BaseNameOf(std::wstring path) {
    for (;;) {
        std::size_t at = path.find(L'\\');
        if (at == std::wstring::npos) at = path.find(L':');
        if (at == std::wstring::npos) break;
        path.erase(0, at + 1);
    }
    std::size_t dot = path.find(L'.');
    if (dot != std::wstring::npos) path.resize(dot);
    return path;
}

void Main(Platform& platform, PickerHost& picker, LauncherState& state) {
    // The pause file path is built from the folder as the platform gives it, without
    // the trailing-backslash rule of AppFolder.
    std::wstring pausePath = platform.ApplicationPath() + L"\\" + kPauseFileName;
    std::optional<std::int16_t> pause;
    if (auto bytes = platform.ReadFileHead(pausePath, kPauseFileHeadBytes))
        pause = ParsePauseFile(*bytes, platform);
    if (pause) {
        state.PauseUnit = ClampPauseUnit(*pause);
    } else {
        platform.MessageBox(kPauseFileMessage, kAppTitle);
        state.PauseUnit = kDefaultPauseUnit;
    }
    LaunchInCad(platform, state, picker);
}

}  // namespace vorta
