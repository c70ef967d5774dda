// probe.exe: looks at and sets the parts of the desktop that the end-to-end tests check
// around a launcher run (cursor, cursor confinement, clipboard, windows, message boxes
// of other processes), and drives the stand-in CAD the way the launcher and its
// console window do. Prints UTF-8, one fact per line; exit code 0 on success, 1 when
// what was asked for was not found, 2 on a usage error.
#include <windows.h>
// windows.h first.
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "common/win32/window.h"
#include "tools/e2e/win_text.h"

namespace vorta::probe {
namespace {

using namespace tools;
using win32::WindowClassName;

void Print(const std::string& line) {
    const std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

void Fail(const std::string& line) {
    const std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

std::string Num(long long v) {
    return std::to_string(v);
}

long ToLong(const std::wstring& s) {
    return std::wcstol(s.c_str(), nullptr, 0);
}

// A window handle written as its 32 significant bits, widened as the system widens it.
HWND ToHwnd(const std::wstring& s) {
    return reinterpret_cast<HWND>(
        static_cast<INT_PTR>(static_cast<LONG>(std::wcstoul(s.c_str(), nullptr, 0))));
}

std::string RectText(const RECT& r) {
    return Num(r.left) + " " + Num(r.top) + " " + Num(r.right) + " " + Num(r.bottom);
}

std::wstring CaptionOf(HWND h) {
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}

struct PrefixSearch {
    std::wstring prefix;
    std::vector<HWND> found;
};

BOOL CALLBACK OnPrefixWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<PrefixSearch*>(lp);
    if (CaptionOf(h).rfind(s->prefix, 0) == 0) s->found.push_back(h);
    return TRUE;
}

// Top-level windows whose caption begins with the prefix, in z-order.
std::vector<HWND> TopWindowsWithPrefix(const std::wstring& prefix) {
    PrefixSearch search{prefix, {}};
    EnumWindows(&OnPrefixWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Cursor() {
    POINT p{};
    GetCursorPos(&p);
    Print(Num(p.x) + " " + Num(p.y));
    return 0;
}

int SetCursor(const std::vector<std::wstring>& a) {
    if (a.size() != 2) return 2;
    return SetCursorPos(ToLong(a[0]), ToLong(a[1])) ? Cursor() : 1;
}

int Clip() {
    RECT r{};
    GetClipCursor(&r);
    Print(RectText(r));
    return 0;
}

int SetClip(const std::vector<std::wstring>& a) {
    if (a.size() == 1 && a[0] == L"none") return ClipCursor(nullptr) ? Clip() : 1;
    if (a.size() != 4) return 2;
    const RECT r{ToLong(a[0]), ToLong(a[1]), ToLong(a[2]), ToLong(a[3])};
    return ClipCursor(&r) ? Clip() : 1;
}

// One line per window whose caption begins with the prefix.
int Window(const std::vector<std::wstring>& a) {
    if (a.size() != 1) return 2;
    const auto found = TopWindowsWithPrefix(a[0]);
    for (HWND h : found) {
        RECT r{};
        GetWindowRect(h, &r);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
        Print("hwnd=" + Num(reinterpret_cast<UINT_PTR>(h)) + " pid=" + Num(pid) +
              " topmost=" + Num((ex & WS_EX_TOPMOST) != 0) + " iconic=" + Num(IsIconic(h) != 0) +
              " visible=" + Num(IsWindowVisible(h) != 0) + " foreground=" +
              Num(GetForegroundWindow() == h) + " rect=" + Num(r.left) + "," + Num(r.top) + "," +
              Num(r.right) + "," + Num(r.bottom) + " caption=" + Printable(CaptionOf(h)));
    }
    if (found.empty()) Print("none");
    return found.empty() ? 1 : 0;
}

int WindowRect(const std::vector<std::wstring>& a) {
    if (a.size() != 1) return 2;
    RECT r{};
    if (!GetWindowRect(ToHwnd(a[0]), &r)) {
        Print("none");
        return 1;
    }
    Print(RectText(r));
    return 0;
}

BOOL CALLBACK OnChild(HWND h, LPARAM) {
    RECT r{};
    GetWindowRect(h, &r);
    Print("hwnd=" + Num(reinterpret_cast<UINT_PTR>(h)) +
          " parent=" + Num(reinterpret_cast<UINT_PTR>(GetParent(h))) +
          " id=" + Num(GetDlgCtrlID(h)) + " visible=" + Num(IsWindowVisible(h) != 0) +
          " rect=" + Num(r.left) + "," + Num(r.top) + "," + Num(r.right) + "," + Num(r.bottom) +
          " class=" + Printable(WindowClassName(h)) + " caption=" + Printable(CaptionOf(h)));
    return TRUE;
}

// Every descendant of the window, in EnumChildWindows order.
int Children(const std::vector<std::wstring>& a) {
    if (a.size() != 1) return 2;
    EnumChildWindows(ToHwnd(a[0]), &OnChild, 0);
    return 0;
}

int Clipboard() {
    const OpenedClipboard clip = OpenClipboardWithin(nullptr);
    if (!clip) {
        Print("busy");
        return 1;
    }
    std::string bytes;
    if (!ReadClipboardText(bytes)) {
        Print("text=0 formats=" + Num(CountClipboardFormats()));
        return 0;
    }
    Print("text=1 hex=" + HexBytes(bytes) + " utf8=" + Printable(AnsiToWide(bytes)));
    return 0;
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; spent < ms; spent = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

// Another program holding the clipboard open: opens it with a hidden window of its own
// as owner (Wine lets two openers without an owner hold it at once), writes the ready
// file, keeps it open for the given seconds while answering messages, then closes it.
int HoldClipboard(const std::vector<std::wstring>& a) {
    if (a.size() != 2) return 2;
    const double seconds = std::wcstod(a[0].c_str(), nullptr);
    const HWND owner = CreateWindowExW(0, L"STATIC", L"probe clipboard holder", WS_POPUP, 0, 0, 1,
                                       1, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (owner == nullptr) return 1;
    const DWORD start = GetTickCount();
    while (!OpenClipboard(owner)) {
        if (GetTickCount() - start > 5000) {
            Print("busy");
            return 1;
        }
        PumpFor(10);
    }
    {
        UniqueHandle ready(CreateFileW(a[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!ready.valid()) {
            CloseClipboard();
            return 1;
        }
    }
    PumpFor(static_cast<DWORD>(seconds * 1000));
    CloseClipboard();
    Print("held " + Num(GetTickCount() - start) + " ms");
    DestroyWindow(owner);
    return 0;
}

// A clipboard history service: reads the clipboard at every change, as soon as it is told
// (clipboard format listener), with a hidden window of its own as opener.
struct ClipboardReader {
    HWND window = nullptr;
    long long changes = 0;
    long long texts = 0;      // reads that got text
    DWORD longestHoldMs = 0;  // the longest time the clipboard was held open for one read
};
ClipboardReader g_reader;

void ReadAtChange() {
    ++g_reader.changes;
    const DWORD start = GetTickCount();
    if (!OpenClipboard(g_reader.window)) return;
    std::string bytes;
    if (ReadClipboardText(bytes)) ++g_reader.texts;
    CloseClipboard();
    g_reader.longestHoldMs = std::max(g_reader.longestHoldMs, GetTickCount() - start);
}

LRESULT CALLBACK ReaderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLIPBOARDUPDATE) {
        ReadAtChange();
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// Reads at every change until the stop file appears (at most the given seconds), then
// prints what it saw. The ready file is written once it listens.
int ClipboardReaderRun(const std::vector<std::wstring>& a) {
    if (a.size() != 3) return 2;
    const DWORD limitMs = static_cast<DWORD>(std::wcstod(a[0].c_str(), nullptr) * 1000);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ReaderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VortaProbeClipboardReader";
    if (!RegisterClassW(&wc)) return 1;
    g_reader.window = CreateWindowExW(0, wc.lpszClassName, L"probe clipboard reader", WS_POPUP, 0,
                                      0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    if (g_reader.window == nullptr || !AddClipboardFormatListener(g_reader.window)) return 1;
    {
        UniqueHandle ready(CreateFileW(a[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!ready.valid()) return 1;
    }
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(a[2].c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < limitMs) {
        PumpFor(20);
    }
    RemoveClipboardFormatListener(g_reader.window);
    DestroyWindow(g_reader.window);
    Print("changes=" + Num(g_reader.changes) + " texts=" + Num(g_reader.texts) +
          " longest_hold_ms=" + Num(g_reader.longestHoldMs));
    return 0;
}

int SetClipboard(const std::vector<std::wstring>& a) {
    const OpenedClipboard clip = OpenClipboardWithin(nullptr);
    if (!clip) return 1;
    if (a.empty()) return EmptyClipboard() ? 0 : 1;
    return WriteClipboardText(WideToAnsi(a[0])) ? 0 : 1;
}

// Processes in Tool Help snapshot order (the order discovery meets them), optionally
// only those with the given executable name.
int Processes(const std::vector<std::wstring>& a) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snap.valid()) return 1;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap.get(), &pe); ok; ok = Process32NextW(snap.get(), &pe)) {
        if (!a.empty() && a[0] != pe.szExeFile) continue;
        Print(Num(pe.th32ProcessID) + " " + ToUtf8(pe.szExeFile));
    }
    return 0;
}

struct DialogInfo {
    HWND hwnd = nullptr;
    DWORD pid = 0;
};

struct DialogSearch {
    DWORD onlyPid;
    bool visible;
    std::vector<DialogInfo> found;
};

BOOL CALLBACK OnDialogWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<DialogSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId() && (s->onlyPid == 0 || s->onlyPid == pid) &&
        (IsWindowVisible(h) != FALSE) == s->visible && WindowClassName(h) == L"#32770") {
        s->found.push_back({h, pid});
    }
    return TRUE;
}

// Message boxes of other processes; those not shown when visible is false.
std::vector<DialogInfo> MessageBoxes(DWORD onlyPid, bool visible = true) {
    DialogSearch search{onlyPid, visible, {}};
    EnumWindows(&OnDialogWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ButtonsOf(HWND dlg) {
    std::string out;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (WindowClassName(c) != L"Button" || !IsWindowVisible(c)) continue;
        if (!out.empty()) out += ",";
        out += Num(GetDlgCtrlID(c)) + ":" + Printable(CaptionOf(c));
    }
    return out;
}

// Waits (bounded) for a message box of another process, prints its title, text and
// buttons, and presses OK unless told to leave it.
int MsgBox(const std::vector<std::wstring>& a) {
    DWORD timeoutMs = 10000;
    DWORD onlyPid = 0;
    bool press = true;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == L"--timeout" && i + 1 < a.size()) {
            timeoutMs = static_cast<DWORD>(ToLong(a[++i]));
        } else if (a[i] == L"--pid" && i + 1 < a.size()) {
            onlyPid = static_cast<DWORD>(ToLong(a[++i]));
        } else if (a[i] == L"--keep") {
            press = false;
        } else {
            return 2;
        }
    }
    const DWORD start = GetTickCount();
    std::vector<DialogInfo> boxes;
    while ((boxes = MessageBoxes(onlyPid)).empty() && GetTickCount() - start < timeoutMs) {
        Sleep(20);
    }
    if (boxes.empty()) {
        Print("none");
        // A box that exists but was never shown leaves the user with nothing to see.
        for (const DialogInfo& box : MessageBoxes(onlyPid, false)) {
            wchar_t text[2048] = {};
            GetDlgItemTextW(box.hwnd, 0xFFFF, text, 2048);
            Print("not-shown pid=" + Num(box.pid) + " title=" + Printable(CaptionOf(box.hwnd)) +
                  " text=" + Printable(text));
        }
        return 1;
    }
    // When it was first seen, on the clock of the stand-in's log ticks, and how long
    // after its process had started (so a bound on the time to tell the user leaves out
    // how long the test took to start it).
    Print("tick=" + Num(GetTickCount()));
    FILETIME seen{};
    GetSystemTimeAsFileTime(&seen);
    const HWND dlg = boxes.front().hwnd;
    const UniqueHandle owner(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, boxes.front().pid));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (owner && GetProcessTimes(owner.get(), &created, &exited, &kernel, &user)) {
        const auto ticks = [](const FILETIME& t) {
            return (static_cast<long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        Print("after_start_ms=" + Num((ticks(seen) - ticks(created)) / 10000));
    }
    // The text is read once it is filled in; a box may be seen before it is complete.
    Sleep(200);
    wchar_t text[2048] = {};
    GetDlgItemTextW(dlg, 0xFFFF, text, 2048);
    Print("count=" + Num(static_cast<long long>(boxes.size())));
    Print("pid=" + Num(boxes.front().pid));
    Print("title=" + Printable(CaptionOf(dlg)));
    Print("text=" + Printable(text));
    Print("buttons=" + ButtonsOf(dlg));
    if (press) {
        SetForegroundWindow(dlg);
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
        const DWORD closeStart = GetTickCount();
        while (IsWindow(dlg) && GetTickCount() - closeStart < 5000) Sleep(50);
        Print(std::string("closed=") + (IsWindow(dlg) ? "0" : "1"));
        if (IsWindow(dlg)) return 1;
    }
    return 0;
}

// Succeeds when no message box of another process shows up within the time.
int NoMsgBox(const std::vector<std::wstring>& a) {
    const DWORD timeoutMs = a.empty() ? 1000 : static_cast<DWORD>(ToLong(a[0]));
    const DWORD start = GetTickCount();
    do {
        const auto boxes = MessageBoxes(0);
        if (!boxes.empty()) {
            wchar_t text[2048] = {};
            GetDlgItemTextW(boxes.front().hwnd, 0xFFFF, text, 2048);
            Print("found title=" + Printable(CaptionOf(boxes.front().hwnd)) +
                  " text=" + Printable(text));
            return 1;
        }
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    Print("none");
    return 0;
}

// Reads a control's text the way the console window does: WM_GETTEXTLENGTH, then
// WM_GETTEXT with a buffer of that many bytes plus room for the zero.
int DlgText(const std::vector<std::wstring>& a) {
    if (a.size() != 2) return 2;
    const HWND w = GetDlgItem(ToHwnd(a[0]), static_cast<int>(ToLong(a[1])));
    if (w == nullptr) {
        Print("no-control");
        return 1;
    }
    const LRESULT n = SendMessageA(w, WM_GETTEXTLENGTH, 0, 0);
    std::string buf(static_cast<std::size_t>(n) + 2, '\0');
    SendMessageA(w, WM_GETTEXT, static_cast<WPARAM>(n + 2), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(std::char_traits<char>::length(buf.c_str()));
    Print("length=" + Num(n));
    Print("hex=" + HexBytes(buf));
    Print("utf8=" + Printable(AnsiToWide(buf)));
    return 0;
}

// Sends command text the way the console window's Put does.
int CopyData(const std::vector<std::wstring>& a) {
    if (a.size() != 2) return 2;
    std::string payload = WideToAnsi(a[1] + L"\r");
    payload.push_back('\0');
    COPYDATASTRUCT cds{};
    cds.dwData = 1;
    cds.cbData = static_cast<DWORD>(payload.size());
    cds.lpData = payload.data();
    const HWND target = ToHwnd(a[0]);
    const LRESULT r = SendMessageA(target, WM_COPYDATA, 1, reinterpret_cast<LPARAM>(&cds));
    PostMessageA(target, WM_NULL, 0, 0);
    Print("result=" + Num(r) + " hex=" + HexBytes(payload));
    return 0;
}

// Asks the text window for its history on the clipboard, then prints the clipboard.
int HistoryCopy(const std::vector<std::wstring>& a) {
    if (a.size() != 1) return 2;
    {
        const OpenedClipboard clip = OpenClipboardWithin(nullptr);
        if (clip) EmptyClipboard();
    }
    SendMessageA(ToHwnd(a[0]), WM_COMMAND, 0x800D, 0);
    return Clipboard();
}

// Brings a window to the front; fails when it is not the foreground window within 3 s.
// The window's own thread takes the activation, so under Wine it follows a moment later.
int Front(const std::vector<std::wstring>& a) {
    if (a.size() != 1) return 2;
    const HWND h = ToHwnd(a[0]);
    SetForegroundWindow(h);
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != h && GetTickCount() - start < 3000) Sleep(10);
    return GetForegroundWindow() == h ? 0 : 1;
}

void Key(WORD vk, bool release) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (release ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof in);
    Sleep(20);
}

// Types into a CAD command line the way the launcher does, for checking the stand-in
// on its own: front, confine the cursor to the command line and click at its centre,
// then each text through the clipboard and Ctrl+V; the confinement is put back.
int Type(const std::vector<std::wstring>& a) {
    if (a.size() < 2) return 2;
    const HWND main = ToHwnd(a[0]);
    const HWND cmdLine = ToHwnd(a[1]);
    if (IsIconic(main)) {
        OpenIcon(main);
    } else {
        SetForegroundWindow(main);
    }
    Sleep(100);
    RECT saved{};
    GetClipCursor(&saved);
    RECT r{};
    GetWindowRect(cmdLine, &r);
    ClipCursor(&r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // Let the cursor move settle before the click, so the press lands at the centre.
    SetCursorPos(centre.x, centre.y);
    Sleep(100);
    SetCursorPos(centre.x, centre.y);
    Sleep(50);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(50);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(50);
    for (std::size_t i = 2; i < a.size(); ++i) {
        std::wstring text = a[i];
        if (text == L"ESC") text = std::wstring(1, wchar_t{27});
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, L"\\n") == 0) {
            text.replace(text.size() - 2, 2, L"\r\n");
        }
        {
            const OpenedClipboard clip = OpenClipboardWithin(nullptr);
            if (!clip || !WriteClipboardText(WideToAnsi(text))) return 1;
        }
        Sleep(50);
        Key(VK_CONTROL, false);
        Key('V', false);
        Key('V', true);
        Key(VK_CONTROL, true);
        Sleep(100);
    }
    ClipCursor(&saved);
    return 0;
}

int Usage() {
    Fail(
        "usage: probe cursor | set-cursor X Y | clip | set-clip L T R B | set-clip none\n"
        "       | window CAPTION-PREFIX | rect HWND | children HWND\n"
        "       | clipboard | set-clipboard [TEXT] | hold-clipboard SECONDS READY-FILE\n"
        "       | clipboard-reader SECONDS READY-FILE STOP-FILE\n"
        "       | processes [EXE] | msgbox [--timeout MS] [--pid PID] [--keep]\n"
        "       | no-msgbox [MS] | dlgtext PARENT-HWND ID | copydata HWND TEXT\n"
        "       | history-copy HWND | front HWND | type MAIN-HWND CMDLINE-HWND TEXT...");
    return 2;
}

using Args = std::vector<std::wstring>;

const std::pair<const wchar_t*, int (*)(const Args&)> kCommands[] = {
    {L"cursor", [](const Args&) { return Cursor(); }},
    {L"set-cursor", &SetCursor},
    {L"clip", [](const Args&) { return Clip(); }},
    {L"set-clip", &SetClip},
    {L"window", &Window},
    {L"rect", &WindowRect},
    {L"children", &Children},
    {L"clipboard", [](const Args&) { return Clipboard(); }},
    {L"set-clipboard", &SetClipboard},
    {L"hold-clipboard", &HoldClipboard},
    {L"clipboard-reader", &ClipboardReaderRun},
    {L"front", &Front},
    {L"processes", &Processes},
    {L"msgbox", &MsgBox},
    {L"no-msgbox", &NoMsgBox},
    {L"dlgtext", &DlgText},
    {L"copydata", &CopyData},
    {L"history-copy", &HistoryCopy},
    {L"type", &Type},
};

int Run() {
    Args args = Arguments();
    if (args.empty()) return Usage();
    const std::wstring name = args.front();
    args.erase(args.begin());
    for (const auto& [command, run] : kCommands) {
        if (name != command) continue;
        const int rc = run(args);
        return rc == 2 ? Usage() : rc;
    }
    return Usage();
}

}  // namespace
}  // namespace vorta::probe

int main() {
    return vorta::probe::Run();
}
