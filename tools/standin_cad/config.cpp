#include "tools/standin_cad/config.h"

#include <algorithm>
#include <cwchar>
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
        // Captions keep their blanks: only the line end is taken off.
        const std::wstring value = line.substr(eq + 1);
        bool ok = true;
        if (key == L"name") {
            c.name = value;
        } else if (key == L"main_caption") {
            c.mainCaption = value;
        } else if (key == L"text_caption") {
            c.textCaption = value;
        } else if (key == L"command_caption") {
            c.commandCaption = value;
        } else if (key == L"main_cmd_ctrl_id") {
            ok = ParseInt(Trim(value), c.mainCmdCtrlId);
        } else if (key == L"text_cmd_ctrl_id") {
            ok = ParseInt(Trim(value), c.textCmdCtrlId);
        } else if (key == L"main_hist_ctrl_id") {
            ok = ParseInt(Trim(value), c.mainHistCtrlId);
        } else if (key == L"text_hist_ctrl_id") {
            ok = ParseInt(Trim(value), c.textHistCtrlId);
        } else if (key == L"main_rect") {
            ok = ParsePlacement(value, c.mainRect);
        } else if (key == L"text_rect") {
            ok = ParsePlacement(value, c.textRect);
        } else if (key == L"text_window") {
            ok = ParseFlag(value, c.textWindow);
        } else if (key == L"minimized") {
            ok = ParseFlag(value, c.minimized);
        } else if (key == L"ansi_windows") {
            ok = ParseFlag(value, c.ansiWindows);
        } else if (key == L"command_line_visible") {
            ok = ParseFlag(value, c.commandLineVisible);
        } else if (key == L"command_line_zero_size") {
            ok = ParseFlag(value, c.commandLineZeroSize);
        } else if (key == L"front") {
            const std::wstring v = Trim(value);
            ok = v == L"main" || v == L"text";
            c.textInFront = v == L"text";
        } else if (key == L"log") {
            c.logPath = Trim(value);
        } else if (key == L"ready") {
            c.readyPath = Trim(value);
        } else if (key == L"stop_file") {
            c.stopPath = Trim(value);
        } else if (key == L"exit_after_seconds") {
            ok = ParseInt(Trim(value), c.exitAfterSeconds);
        } else if (key == L"hang_seconds") {
            ok = ParseInt(Trim(value), c.hangSeconds);
        } else if (key == L"hang_delay_ms") {
            ok = ParseInt(Trim(value), c.hangDelayMs);
        } else if (key == L"exit_on") {
            c.exitOn = Trim(value);
            ok = IsEventName(c.exitOn);
        } else if (key == L"hang_on") {
            c.hangOn = Trim(value);
            ok = IsEventName(c.hangOn);
        } else if (key == L"history") {
            c.history = Unescape(value);
        } else {
            problems += L"line " + std::to_wstring(lineNo) + L": unknown key " + key + L"\n";
            continue;
        }
        if (!ok) problems += L"line " + std::to_wstring(lineNo) + L": bad value for " + key + L"\n";
    }
    return c;
}

bool LoadConfig(const std::wstring& path, Config& config, std::wstring& problems) {
    tools::Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    config = ParseConfig(bytes, problems);
    return true;
}

}  // namespace vorta::standin
