#include "tools/standin_cad/config.h"

#include <algorithm>
#include <cwchar>
#include <functional>
#include <map>
#include <string_view>

#include "tools/e2e/win_text.h"

namespace vorta::standin {
namespace {

std::wstring Trim(std::wstring_view s) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::wstring(s);
}

bool ParseInt(const std::wstring& s, int& out) {
    if (s.empty()) return false;
    wchar_t* end = nullptr;
    const long v = std::wcstol(s.c_str(), &end, 0);
    if (end == nullptr || *end != L'\0') return false;
    out = static_cast<int>(v);
    return true;
}

bool ParsePlacement(const std::wstring& s, WindowPlacement& out) {
    int v[4] = {};
    std::size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = s.find(L',', start);
        if ((i < 3) != (comma != std::wstring::npos)) return false;
        const std::wstring part = Trim(std::wstring_view(s).substr(start, comma - start));
        if (!ParseInt(part, v[i])) return false;
        start = comma + 1;
    }
    out = {v[0], v[1], v[2], v[3]};
    return v[2] > 0 && v[3] > 0;
}

bool ParseFlag(const std::wstring& s, bool& out) {
    int v = 0;
    if (!ParseInt(Trim(s), v)) return false;
    out = v != 0;
    return true;
}

// "click", or "paste" and a count from 1 in decimal digits.
bool IsEventName(const std::wstring& s) {
    if (s == L"click") return true;
    if (s.rfind(L"paste", 0) != 0 || s.size() == 5 || s[5] == L'0') return false;
    return std::all_of(s.begin() + 5, s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// "\n" in a value stands for a line break.
std::wstring Unescape(const std::wstring& s) {
    std::wstring out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'\\' && i + 1 < s.size() && s[i + 1] == L'n') {
            out += L"\r\n";
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

// How a key's value is taken; false when it is malformed. Captions keep their blanks:
// only the line end is taken off.
using Setter = std::function<bool(Config&, const std::wstring& value)>;

Setter Text(std::wstring Config::*field) {
    return [field](Config& c, const std::wstring& v) { return c.*field = v, true; };
}
Setter Path(std::wstring Config::*field) {
    return [field](Config& c, const std::wstring& v) { return c.*field = Trim(v), true; };
}
Setter Int(int Config::*field) {
    return [field](Config& c, const std::wstring& v) { return ParseInt(Trim(v), c.*field); };
}
Setter Flag(bool Config::*field) {
    return [field](Config& c, const std::wstring& v) { return ParseFlag(v, c.*field); };
}
Setter Placement(WindowPlacement Config::*field) {
    return [field](Config& c, const std::wstring& v) { return ParsePlacement(v, c.*field); };
}
Setter Event(std::wstring Config::*field) {
    return [field](Config& c, const std::wstring& v) {
        c.*field = Trim(v);
        return IsEventName(c.*field);
    };
}

const std::map<std::wstring, Setter>& Keys() {
    static const std::map<std::wstring, Setter> keys{
        {L"name", Text(&Config::name)},
        {L"main_caption", Text(&Config::mainCaption)},
        {L"text_caption", Text(&Config::textCaption)},
        {L"command_caption", Text(&Config::commandCaption)},
        {L"main_cmd_ctrl_id", Int(&Config::mainCmdCtrlId)},
        {L"text_cmd_ctrl_id", Int(&Config::textCmdCtrlId)},
        {L"main_hist_ctrl_id", Int(&Config::mainHistCtrlId)},
        {L"text_hist_ctrl_id", Int(&Config::textHistCtrlId)},
        {L"main_rect", Placement(&Config::mainRect)},
        {L"text_rect", Placement(&Config::textRect)},
        {L"text_window", Flag(&Config::textWindow)},
        {L"minimized", Flag(&Config::minimized)},
        {L"ansi_windows", Flag(&Config::ansiWindows)},
        {L"command_line_visible", Flag(&Config::commandLineVisible)},
        {L"command_line_zero_size", Flag(&Config::commandLineZeroSize)},
        {L"text_window_hidden", Flag(&Config::textWindowHidden)},
        {L"focus_on_drawing", Flag(&Config::focusOnDrawing)},
        {L"paste_format",
         [](Config& c, const std::wstring& v) {
             c.pasteFormat = Trim(v);
             return c.pasteFormat == L"text" || c.pasteFormat == L"unicode" ||
                    c.pasteFormat == L"ole";
         }},
        {L"front",
         [](Config& c, const std::wstring& v) {
             c.textInFront = Trim(v) == L"text";
             return c.textInFront || Trim(v) == L"main";
         }},
        {L"log", Path(&Config::logPath)},
        {L"ready", Path(&Config::readyPath)},
        {L"stop_file", Path(&Config::stopPath)},
        {L"exit_after_seconds", Int(&Config::exitAfterSeconds)},
        {L"hang_seconds", Int(&Config::hangSeconds)},
        {L"hang_delay_ms", Int(&Config::hangDelayMs)},
        {L"exit_on", Event(&Config::exitOn)},
        {L"hang_on", Event(&Config::hangOn)},
        {L"history",
         [](Config& c, const std::wstring& v) { return c.history = Unescape(v), true; }},
    };
    return keys;
}

}  // namespace

Config ParseConfig(const std::string& utf8, std::wstring& problems) {
    Config c;
    std::wstring text = tools::FromUtf8(utf8);
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
    std::size_t pos = 0;
    int lineNo = 0;
    while (pos <= text.size()) {
        std::size_t nl = text.find(L'\n', pos);
        if (nl == std::wstring::npos) nl = text.size();
        const std::wstring line = Trim(std::wstring_view(text).substr(pos, nl - pos));
        pos = nl + 1;
        ++lineNo;
        if (line.empty() || line.front() == L'#') continue;
        const std::size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) {
            problems += L"line " + std::to_wstring(lineNo) + L": no '='\n";
            continue;
        }
        const std::wstring key = Trim(std::wstring_view(line).substr(0, eq));
        const auto setter = Keys().find(key);
        if (setter == Keys().end()) {
            problems += L"line " + std::to_wstring(lineNo) + L": unknown key " + key + L"\n";
        } else if (!setter->second(c, line.substr(eq + 1))) {
            problems += L"line " + std::to_wstring(lineNo) + L": bad value for " + key + L"\n";
        }
    }
    return c;
}

bool LoadConfig(const std::wstring& path, Config& config, std::wstring& problems) {
    const tools::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    config = ParseConfig(bytes, problems);
    return true;
}

}  // namespace vorta::standin
