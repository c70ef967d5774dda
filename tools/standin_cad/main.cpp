// A stand-in for the CAD application, for tests and demonstrations. It shows what the
// launcher relies on in a real CAD and nothing more: a main window and a text window
// with configured captions, a command-line child window in each holding an edit
// control, Ctrl+V into the command line as typed input, WM_COPYDATA command text into
// the main window, the history-copy command into the text window, and control texts
// read with WM_GETTEXT. Every event is written to a UTF-8 log, one line each, so a
// test can check what the CAD received. On request it also misbehaves the way a real
// CAD can: command lines hidden or of no size, or ending or hanging at one of its own
// events (a click, the N-th paste), so that a test does not depend on timing. It also
// behaves in other ways real CADs do: a text window that exists but is hidden, a drawing
// area that keeps the keyboard focus and hands keys on to the command line, a paste read
// as Unicode text or through OLE.
//
//   standin_cad.exe [--config] <config file>
#include <windows.h>
// windows.h first.
#include <ole2.h>

#include <cstdio>
#include <map>
#include <string>

#include "common/win32/system.h"
#include "common/win32/window.h"
#include "tools/e2e/win_text.h"
#include "tools/standin_cad/config.h"

namespace vorta::standin {
namespace {

using namespace tools;

constexpr wchar_t kMainClass[] = L"VortaStandinCadMain";
constexpr wchar_t kTextClass[] = L"VortaStandinCadText";
constexpr wchar_t kCmdLineClass[] = L"VortaStandinCadCommandLine";
constexpr wchar_t kDrawingClass[] = L"VortaStandinCadDrawing";

constexpr UINT_PTR kTimerStopPoll = 1;
constexpr UINT_PTR kTimerExit = 2;
constexpr UINT_PTR kTimerHang = 3;

constexpr WPARAM kCmdCopyHistory = 0x800D;  // the text window copies its history
constexpr ULONG_PTR kCopyDataCommandText = 1;
constexpr int kCmdLineHeight = 64;
constexpr int kEditLineHeight = 28;

// The event log: one UTF-8 line per event, written through at once.
class Log {
  public:
    void Open(const std::wstring& path) {
        if (path.empty()) return;
        file_ = UniqueHandle(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    void Write(const std::string& event) {
        if (!file_.valid()) return;
        char stamp[32];
        wsprintfA(stamp, "%7lu ", static_cast<unsigned long>(GetTickCount() - start_));
        const std::string line = stamp + event + "\n";
        DWORD written = 0;
        WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        FlushFileBuffers(file_.get());
    }

  private:
    UniqueHandle file_;
    DWORD start_ = GetTickCount();
};

struct Instance {
    Config cfg;
    Log log;
    HWND main = nullptr;
    HWND text = nullptr;
    HWND mainCmdLine = nullptr;
    HWND textCmdLine = nullptr;
    HWND mainEdit = nullptr;
    HWND mainHist = nullptr;
    HWND textEdit = nullptr;
    HWND textHist = nullptr;
    HWND drawing = nullptr;  // the drawing area that keeps the focus, when configured
    std::map<HWND, std::string> roles;
    std::map<HWND, WNDPROC> originalProcs;
    std::wstring history;
    bool internal = false;  // our own reads and writes of control texts are not logged
    bool mainTopmost = false;
    int pastes = 0;  // Ctrl+V handled in a command line so far
};

Instance* g = nullptr;

// Default handling for our own windows, which are Unicode or ANSI as configured.
LRESULT Def(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return IsWindowUnicode(h) ? DefWindowProcW(h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
}

std::string Num(long long v) {
    return std::to_string(v);
}

std::string HwndText(HWND h) {
    char buf[32];
    wsprintfA(buf, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(h)));
    return buf;
}

std::string RoleOf(HWND h) {
    if (h == nullptr) return "none";
    const auto it = g->roles.find(h);
    return it != g->roles.end() ? it->second : "other(" + HwndText(h) + ")";
}

bool IsTopmost(HWND h) {
    return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Where the cursor is, what it is confined to, which window is in front, whether the
// main window is topmost, and which control has the keyboard focus.
std::string State() {
    POINT p{};
    GetCursorPos(&p);
    RECT clip{};
    GetClipCursor(&clip);
    return "cursor=" + Num(p.x) + "," + Num(p.y) + " clip=" + Num(clip.left) + "," + Num(clip.top) +
           "," + Num(clip.right) + "," + Num(clip.bottom) +
           " foreground=" + RoleOf(GetForegroundWindow()) +
           " topmost=" + (IsTopmost(g->main) ? "1" : "0") + " focus=" + RoleOf(GetFocus());
}

std::wstring ControlText(HWND h) {
    g->internal = true;
    const int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(h, s.data(), n + 1);
    g->internal = false;
    s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return s;
}

void SetControlText(HWND h, const std::wstring& s) {
    if (h == nullptr) return;
    g->internal = true;
    SetWindowTextW(h, s.c_str());
    g->internal = false;
}

void ShowHistory() {
    SetControlText(g->mainHist, g->history);
    SetControlText(g->textHist, g->history);
    if (g->textHist != nullptr) {
        SendMessageW(g->textHist, EM_SETSEL, g->history.size(), g->history.size());
        SendMessageW(g->textHist, EM_SCROLLCARET, 0, 0);
    }
}

// The window thread stops answering for the configured time.
void Hang(const std::string& why) {
    g->log.Write("hang begin seconds=" + Num(g->cfg.hangSeconds) + " on=" + why +
                 " tick=" + Num(GetTickCount()));
    Sleep(static_cast<DWORD>(g->cfg.hangSeconds) * 1000);
    g->log.Write("hang end");
}

// Called right after the instance has handled one of its own events ("click",
// "paste1", ...): ends the process or hangs when configured to at that event.
void AfterEvent(const std::string& event) {
    const std::wstring name = FromUtf8(event);
    if (name == g->cfg.exitOn) {
        g->log.Write("exit on " + event);
        ExitProcess(0);
    }
    if (name == g->cfg.hangOn) Hang(event);
}

// The CAD runs one command line.
void RunCommand(const std::wstring& line, const std::string& source) {
    g->log.Write("run: " + Printable(line));
    g->log.Write("run-source " + source);
    g->history += L"コマンド: " + line + L"\r\n";
    ShowHistory();
}

// Characters arriving in a command-line edit as if typed: ESC cancels what is pending,
// CR runs it, LF is ignored, everything else is added to the line.
void TypeInto(HWND edit, const std::wstring& chars) {
    std::wstring pending = ControlText(edit);
    for (const wchar_t c : chars) {
        if (c == 27) {
            g->log.Write("cancel " + RoleOf(edit) + " pending=\"" + Printable(pending) + "\"");
            pending.clear();
        } else if (c == L'\r') {
            SetControlText(edit, L"");
            RunCommand(pending, RoleOf(edit));
            pending.clear();
        } else if (c != L'\n') {
            pending += c;
        }
    }
    SetControlText(edit, pending);
    SendMessageW(edit, EM_SETSEL, pending.size(), pending.size());
}

// CF_UNICODETEXT on the open clipboard, as ANSI bytes (so the log shows what the
// launcher offered).
bool ReadClipboardUnicode(std::string& bytes) {
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const win32::GlobalLocked text = win32::LockGlobal(data);
    if (!text) return false;
    const auto* chars = static_cast<const wchar_t*>(text.get());
    bytes =
        WideToAnsi(std::wstring_view(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t))));
    return true;
}

// CF_TEXT through OLE's clipboard object, which opens the clipboard itself.
bool ReadThroughOle(std::string& bytes) {
    win32::ComRef<IDataObject> data;
    if (FAILED(OleGetClipboard(data.put())) || !data) return false;
    FORMATETC format{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data.get()->GetData(&format, &medium))) return false;
    bool ok = false;
    if (medium.tymed == TYMED_HGLOBAL) {
        if (const win32::GlobalLocked text = win32::LockGlobal(medium.hGlobal)) {
            const auto* chars = static_cast<const char*>(text.get());
            bytes.assign(chars, strnlen(chars, GlobalSize(medium.hGlobal)));
            ok = true;
        }
    }
    ReleaseStgMedium(&medium);
    return ok;
}

void Paste(HWND edit) {
    ++g->pastes;
    std::string bytes;
    bool hasText = false;
    if (g->cfg.pasteFormat == L"ole") {
        hasText = ReadThroughOle(bytes);
    } else {
        const DWORD start = GetTickCount();
        const HWND openBy = GetOpenClipboardWindow();
        const OpenedClipboard clip = OpenClipboardWithin(edit);
        // Opening the clipboard can take a while (another program holds it open, or Wine
        // first brings it in line with the X selection): worth a line, since whoever set
        // the text may have changed it meanwhile. open-by is who held it at the start.
        const DWORD waited = GetTickCount() - start;
        if (waited >= 20) {
            DWORD pid = 0;
            GetWindowThreadProcessId(openBy, &pid);
            wchar_t cls[64] = {};
            GetClassNameW(openBy, cls, 64);
            g->log.Write("clipboard-wait " + RoleOf(edit) + " ms=" + Num(waited) + " open-by=" +
                         HwndText(openBy) + " pid=" + Num(pid) + " class=" + ToUtf8(cls));
        }
        if (!clip) {
            g->log.Write("paste " + RoleOf(edit) + " clipboard-busy " + State());
            return;
        }
        hasText = g->cfg.pasteFormat == L"unicode" ? ReadClipboardUnicode(bytes)
                                                   : ReadClipboardText(bytes);
    }
    if (!hasText) {
        g->log.Write("paste " + RoleOf(edit) + " no-text " + State());
        return;
    }
    const std::wstring chars = AnsiToWide(bytes);
    g->log.Write("paste " + RoleOf(edit) + " hex=" + HexBytes(bytes) + " text=\"" +
                 Printable(chars) + "\" " + State());
    TypeInto(edit, chars);
}

HWND InputEditOf(HWND control) {
    const HWND parent = GetParent(control);
    return parent == g->textCmdLine ? g->textEdit : g->mainEdit;
}

// Focus and key events, logged alike by the edit controls and the top-level windows.
void LogFocusAndKeys(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const char* what = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN ? "down"
                       : msg == WM_KEYUP || msg == WM_SYSKEYUP   ? "up"
                                                                 : nullptr;
    if (msg == WM_SETFOCUS) g->log.Write("focus " + RoleOf(h));
    if (what == nullptr) return;
    char buf[96];
    wsprintfA(buf, "key %s vk=0x%02X scan=0x%02X ext=%d ", what, static_cast<unsigned>(wp),
              static_cast<unsigned>((lp >> 16) & 0xFF), static_cast<int>((lp >> 24) & 1));
    g->log.Write(buf + RoleOf(h));
}

// Subclass of every edit control: logs clicks, keys, focus and text requests, and
// turns Ctrl+V (WM_PASTE) in a command-line edit into typed input.
LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const WNDPROC original = g->originalProcs[h];
    const bool isInput = h == g->mainEdit || h == g->textEdit;
    LogFocusAndKeys(h, msg, wp, lp);
    switch (msg) {
        case WM_LBUTTONDOWN: {
            g->log.Write("click " + RoleOf(h) + " " + State());
            if (g->drawing != nullptr && h == g->mainEdit) {  // the focus stays on the drawing
                AfterEvent("click");
                return 0;
            }
            LRESULT r = 0;
            if (isInput) {
                r = CallWindowProcW(original, h, msg, wp, lp);
            } else {
                // The history part of the command line hands the focus to its input line.
                SetFocus(InputEditOf(h));
            }
            AfterEvent("click");
            return r;
        }
        case WM_LBUTTONUP:
            g->log.Write("release " + RoleOf(h) + " " + State());
            break;
        case WM_PASTE:
            if (isInput) {
                Paste(h);
                AfterEvent("paste" + Num(g->pastes));
                return 0;
            }
            break;
        case WM_GETTEXTLENGTH:
            if (!g->internal) {
                const LRESULT r = CallWindowProcW(original, h, msg, wp, lp);
                g->log.Write("gettextlength " + RoleOf(h) + " id=" + Num(GetDlgCtrlID(h)) + " -> " +
                             Num(r));
                return r;
            }
            break;
        case WM_GETTEXT:
            if (!g->internal) {
                const LRESULT r = CallWindowProcW(original, h, msg, wp, lp);
                const auto* buf = reinterpret_cast<const wchar_t*>(lp);
                const std::wstring got = buf != nullptr && r > 0
                                             ? std::wstring(buf, static_cast<std::size_t>(r))
                                             : std::wstring();
                g->log.Write("gettext " + RoleOf(h) + " id=" + Num(GetDlgCtrlID(h)) +
                             " size=" + Num(static_cast<long long>(wp)) + " -> " + Num(r) + " \"" +
                             Printable(got) + "\"");
                return r;
            }
            break;
        default:
            break;
    }
    return CallWindowProcW(original, h, msg, wp, lp);
}

HWND MakeEdit(HWND parent, int id, bool history, const std::string& role) {
    const DWORD style =
        history ? WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY
                : WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    g->roles[h] = role;
    g->originalProcs[h] = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc)));
    return h;
}

// The command-line window: in the main window only the input line; in the text window
// the history above the input line.
LRESULT CALLBACK CmdLineProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE: {
            const int w = LOWORD(lp);
            const int ht = HIWORD(lp);
            if (h == g->mainCmdLine && g->mainEdit != nullptr) {
                MoveWindow(g->mainEdit, 0, 0, w, ht, TRUE);
            } else if (h == g->textCmdLine && g->textEdit != nullptr) {
                const int histH = ht > kEditLineHeight ? ht - kEditLineHeight : 0;
                MoveWindow(g->textHist, 0, 0, w, histH, TRUE);
                MoveWindow(g->textEdit, 0, histH, w, ht - histH, TRUE);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            g->log.Write("click " + RoleOf(h) + " " + State());
            if (g->drawing == nullptr || h != g->mainCmdLine)
                SetFocus(h == g->textCmdLine ? g->textEdit : g->mainEdit);
            AfterEvent("click");
            return 0;
        default:
            return Def(h, msg, wp, lp);
    }
}

// The drawing area: keeps the keyboard focus and hands Esc and Ctrl+V on to the main
// window's command line, as some CADs do.
LRESULT CALLBACK DrawingProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LogFocusAndKeys(h, msg, wp, lp);
    switch (msg) {
        case WM_KEYDOWN:
            if (wp == VK_ESCAPE) {
                TypeInto(g->mainEdit, std::wstring(1, wchar_t{27}));
                return 0;
            }
            if (wp == 'V' && GetKeyState(VK_CONTROL) < 0) {
                SendMessageW(g->mainEdit, WM_PASTE, 0, 0);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            g->log.Write("click " + RoleOf(h) + " " + State());
            SetFocus(h);
            return 0;
        default:
            break;
    }
    return Def(h, msg, wp, lp);
}

void LogTopmostChange() {
    const bool now = IsTopmost(g->main);
    if (now != g->mainTopmost) {
        g->mainTopmost = now;
        g->log.Write(std::string("topmost main ") + (now ? "1" : "0"));
    }
}

void CopyHistoryToClipboard(HWND owner, WPARAM wp, LPARAM lp) {
    const std::string bytes = WideToAnsi(g->history);
    bool written = false;
    {
        const OpenedClipboard clip = OpenClipboardWithin(owner);
        written = clip && WriteClipboardText(bytes);
    }
    g->log.Write("history-copy wParam=" + HwndText(reinterpret_cast<HWND>(wp)) + " lParam=" +
                 Num(static_cast<long long>(lp)) + " written=" + (written ? "1" : "0") +
                 " hex=" + HexBytes(bytes) + " text=\"" + Printable(g->history) + "\"");
}

void OnCopyData(WPARAM wp, const COPYDATASTRUCT* cds) {
    if (cds == nullptr) {
        g->log.Write("copydata without record");
        return;
    }
    const std::string bytes(static_cast<const char*>(cds->lpData),
                            cds->lpData != nullptr ? cds->cbData : 0);
    g->log.Write("copydata wParam=" + Num(static_cast<long long>(wp)) +
                 " dwData=" + Num(static_cast<long long>(cds->dwData)) +
                 " cbData=" + Num(cds->cbData) + " hex=" + HexBytes(bytes));
    if (cds->dwData != kCopyDataCommandText) return;
    std::size_t end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\0') ++end;
    RunCommand(AnsiToWide(std::string_view(bytes).substr(0, end)), "copydata");
}

void Quit(const char* why) {
    g->log.Write(std::string("exit ") + why);
    if (g->text != nullptr) DestroyWindow(g->text);
    DestroyWindow(g->main);
}

void OnTimer(UINT_PTR id) {
    if (id == kTimerStopPoll) {
        if (!g->cfg.stopPath.empty() &&
            GetFileAttributesW(g->cfg.stopPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            Quit("stop-file");
        }
    } else if (id == kTimerExit) {
        Quit("time-limit");
    } else if (id == kTimerHang) {
        KillTimer(g->main, kTimerHang);
        Hang("timer");
    }
}

// Command lines are laid out here; one configured to have no size keeps an empty
// rectangle whatever its parent's size.
void PlaceCmdLine(HWND h, int x, int y, int w, int ht) {
    if (g->cfg.commandLineZeroSize) w = ht = 0;
    MoveWindow(h, x, y, w, ht, TRUE);
}

// Shared by the main window and the text window.
LRESULT CALLBACK TopProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    LogFocusAndKeys(h, msg, wp, lp);
    switch (msg) {
        case WM_SIZE: {
            const char* kind = wp == SIZE_MINIMIZED   ? "minimized"
                               : wp == SIZE_MAXIMIZED ? "maximized"
                                                      : "restored";
            g->log.Write("size " + RoleOf(h) + " " + kind);
            const int w = LOWORD(lp);
            const int ht = HIWORD(lp);
            if (h == g->main && g->mainCmdLine != nullptr) {
                const int histH = ht > kCmdLineHeight ? ht - kCmdLineHeight : 0;
                const int drawingH = g->drawing != nullptr ? histH / 2 : 0;
                if (g->drawing != nullptr) MoveWindow(g->drawing, 0, 0, w, drawingH, TRUE);
                MoveWindow(g->mainHist, 0, drawingH, w, histH - drawingH, TRUE);
                PlaceCmdLine(g->mainCmdLine, 0, histH, w, ht - histH);
            } else if (h == g->text && g->textCmdLine != nullptr) {
                PlaceCmdLine(g->textCmdLine, 0, 0, w, ht);
            }
            return 0;
        }
        case WM_ACTIVATE:
            g->log.Write("activate " + RoleOf(h) + " state=" + Num(LOWORD(wp)) +
                         " minimized=" + Num(HIWORD(wp) != 0) + " " + State());
            break;
        case WM_SETFOCUS:
            if (h == g->main && g->drawing != nullptr) {
                SetFocus(g->drawing);
                return 0;
            }
            break;
        case WM_ACTIVATEAPP:
            g->log.Write("activateapp " + RoleOf(h) + " " + Num(wp != 0));
            break;
        case WM_WINDOWPOSCHANGED:
            if (h == g->main) LogTopmostChange();
            break;
        case WM_QUERYOPEN:
            g->log.Write("queryopen " + RoleOf(h));
            return TRUE;
        case WM_LBUTTONDOWN:
            g->log.Write("click " + RoleOf(h) + " " + State());
            break;
        case WM_COPYDATA:
            if (h == g->main) {
                OnCopyData(wp, reinterpret_cast<const COPYDATASTRUCT*>(lp));
                return TRUE;
            }
            g->log.Write("copydata to " + RoleOf(h) + " ignored");
            return FALSE;
        case WM_COMMAND:
            if (h == g->text && wp == kCmdCopyHistory) {
                CopyHistoryToClipboard(h, wp, lp);
                return 0;
            }
            if (lp == 0) {
                g->log.Write("command " + RoleOf(h) +
                             " wParam=" + HwndText(reinterpret_cast<HWND>(wp)));
            }
            break;
        case WM_TIMER:
            OnTimer(wp);
            return 0;
        case WM_CLOSE:
            if (h == g->main) {
                Quit("close");
                return 0;
            }
            break;
        case WM_DESTROY:
            if (h == g->main) PostQuitMessage(0);
            if (h == g->text) g->text = nullptr;
            return 0;
        default:
            break;
    }
    return Def(h, msg, wp, lp);
}

// Each class also as an ANSI class ("A" after its name), whose windows hold their
// captions in the ANSI code page.
std::string AnsiClass(const wchar_t* name) {
    return WideToAnsi(name) + "A";
}

bool RegisterClassPair(HINSTANCE inst, const wchar_t* name, WNDPROC proc, int colour) {
    const auto background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    if (!win32::RegisterWindowClass(inst, {name, nullptr, nullptr, background}, proc)) return false;
    const std::string ansiName = AnsiClass(name);
    const WNDCLASSA ansi{0,
                         proc,
                         0,
                         0,
                         inst,
                         nullptr,
                         LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                         background,
                         nullptr,
                         ansiName.c_str()};
    return RegisterClassA(&ansi) != 0;
}

bool RegisterClasses(HINSTANCE inst) {
    return RegisterClassPair(inst, kMainClass, &TopProc, COLOR_WINDOW) &&
           RegisterClassPair(inst, kTextClass, &TopProc, COLOR_WINDOW) &&
           RegisterClassPair(inst, kCmdLineClass, &CmdLineProc, COLOR_BTNFACE) &&
           RegisterClassPair(inst, kDrawingClass, &DrawingProc, COLOR_APPWORKSPACE);
}

// A window of one of our classes, Unicode or ANSI as configured.
HWND MakeWindow(const wchar_t* cls, const std::wstring& caption, DWORD style,
                const WindowPlacement& r, HWND parent, const std::string& role) {
    HWND h = g->cfg.ansiWindows
                 ? CreateWindowExA(0, AnsiClass(cls).c_str(), WideToAnsi(caption).c_str(), style,
                                   r.x, r.y, r.width, r.height, parent, nullptr,
                                   GetModuleHandleW(nullptr), nullptr)
                 : CreateWindowExW(0, cls, caption.c_str(), style, r.x, r.y, r.width, r.height,
                                   parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (h != nullptr) g->roles[h] = role;
    return h;
}

HWND MakeTop(bool text, const std::wstring& caption, const WindowPlacement& r,
             const std::string& role) {
    return MakeWindow(text ? kTextClass : kMainClass, caption, WS_OVERLAPPEDWINDOW, r, nullptr,
                      role);
}

HWND MakeCmdLine(HWND parent, const std::string& role) {
    const DWORD visible = g->cfg.commandLineVisible ? WS_VISIBLE : 0;
    return MakeWindow(kCmdLineClass, g->cfg.commandCaption, WS_CHILD | visible | WS_CLIPCHILDREN,
                      WindowPlacement{0, 0, 10, 10}, parent, role);
}

bool CreateWindows() {
    g->main = MakeTop(false, g->cfg.mainCaption, g->cfg.mainRect, "main");
    if (g->main == nullptr) return false;
    if (g->cfg.focusOnDrawing) {
        g->drawing = MakeWindow(kDrawingClass, L"", WS_CHILD | WS_VISIBLE,
                                WindowPlacement{0, 0, 10, 10}, g->main, "drawing");
    }
    g->mainHist = MakeEdit(g->main, g->cfg.mainHistCtrlId, true, "main-hist");
    g->mainCmdLine = MakeCmdLine(g->main, "main-cmdline");
    g->mainEdit = MakeEdit(g->mainCmdLine, g->cfg.mainCmdCtrlId, false, "main-edit");
    if (g->cfg.textWindow) {
        g->text = MakeTop(true, g->cfg.textCaption, g->cfg.textRect, "text");
        if (g->text == nullptr) return false;
        g->textCmdLine = MakeCmdLine(g->text, "text-cmdline");
        g->textHist = MakeEdit(g->textCmdLine, g->cfg.textHistCtrlId, true, "text-hist");
        g->textEdit = MakeEdit(g->textCmdLine, g->cfg.textCmdCtrlId, false, "text-edit");
    }
    // Lay the children out now that they all exist.
    for (HWND h : {g->main, g->text, g->mainCmdLine, g->textCmdLine}) {
        if (h == nullptr) continue;
        RECT rc{};
        GetClientRect(h, &rc);
        SendMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
    ShowHistory();
    // The window shown last is in front; the launcher meets the windows in that order.
    // A text window never shown stays below the main window.
    const bool showText = g->text != nullptr && !g->cfg.textWindowHidden;
    if (showText && !g->cfg.textInFront) ShowWindow(g->text, SW_SHOWNORMAL);
    ShowWindow(g->main, g->cfg.minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
    if (showText && g->cfg.textInFront) ShowWindow(g->text, SW_SHOWNORMAL);
    UpdateWindow(g->main);
    g->mainTopmost = IsTopmost(g->main);
    return true;
}

std::string HandleValue(HWND h) {
    return Num(static_cast<long long>(reinterpret_cast<UINT_PTR>(h)));
}

// The ready file tells the test the windows exist; it is written under a temporary
// name and renamed, so a reader never sees half of it.
void WriteReadyFile() {
    if (g->cfg.readyPath.empty()) return;
    const std::string body =
        "pid=" + Num(GetCurrentProcessId()) + "\nmain=" + HandleValue(g->main) +
        "\ntext=" + HandleValue(g->text) + "\nmain_cmdline=" + HandleValue(g->mainCmdLine) +
        "\ntext_cmdline=" + HandleValue(g->textCmdLine) +
        "\nmain_edit=" + HandleValue(g->mainEdit) + "\ntext_edit=" + HandleValue(g->textEdit) +
        "\nmain_hist=" + HandleValue(g->mainHist) + "\ntext_hist=" + HandleValue(g->textHist) +
        "\n";
    const std::wstring temp = g->cfg.readyPath + L".tmp";
    {
        UniqueHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f.valid()) {
            g->log.Write("ready file cannot be written");
            return;
        }
        DWORD written = 0;
        WriteFile(f.get(), body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
    }
    MoveFileExW(temp.c_str(), g->cfg.readyPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    g->log.Write("ready");
}

int Run() {
    const auto args = Arguments();
    std::wstring path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--config" && i + 1 < args.size()) {
            path = args[++i];
        } else {
            path = args[i];
        }
    }
    Instance instance;
    g = &instance;
    std::wstring problems;
    if (path.empty() || !LoadConfig(path, instance.cfg, problems)) {
        MessageBoxW(nullptr, (L"設定ファイルを読めません: " + path).c_str(), L"standin_cad",
                    MB_OK | MB_ICONERROR);
        return 2;
    }
    instance.history = instance.cfg.history;
    if (!instance.history.empty() && instance.history.back() != L'\n') instance.history += L"\r\n";
    instance.log.Open(instance.cfg.logPath);
    instance.log.Write("start name=" + ToUtf8(instance.cfg.name) +
                       " pid=" + Num(GetCurrentProcessId()) + " exe=" + ToUtf8(win32::ExePath()));
    if (!problems.empty()) instance.log.Write("config problems: " + Printable(problems));

    // OLE's clipboard object needs OLE on the window thread.
    struct OleSession {
        bool on = false;
        ~OleSession() {
            if (on) OleUninitialize();
        }
    } ole;
    if (instance.cfg.pasteFormat == L"ole") ole.on = SUCCEEDED(OleInitialize(nullptr));

    const HINSTANCE inst = GetModuleHandleW(nullptr);
    if (!RegisterClasses(inst) || !CreateWindows()) {
        instance.log.Write("windows cannot be created");
        return 3;
    }
    SetTimer(instance.main, kTimerStopPoll, 100, nullptr);
    if (instance.cfg.exitAfterSeconds > 0) {
        SetTimer(instance.main, kTimerExit, static_cast<UINT>(instance.cfg.exitAfterSeconds) * 1000,
                 nullptr);
    }
    if (instance.cfg.hangSeconds > 0 && instance.cfg.hangOn.empty()) {
        SetTimer(instance.main, kTimerHang,
                 static_cast<UINT>(instance.cfg.hangDelayMs > 0 ? instance.cfg.hangDelayMs : 1),
                 nullptr);
    }
    WriteReadyFile();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_NULL && msg.hwnd == instance.main) {
            instance.log.Write("posted WM_NULL to main");
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    instance.log.Write("end");
    g = nullptr;
    return 0;
}

}  // namespace
}  // namespace vorta::standin

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return vorta::standin::Run();
}
