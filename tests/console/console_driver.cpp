// Drives the console window against stand-in CADs under Wine and checks what happens,
// through window messages only, as a user's clicks and keys would. One test a run:
//
//   console_driver.exe TEST FOLDER [OUT]
//
// FOLDER is set up by tests/console/console_tests.py: vortastart.exe with its tardo.dat
// and Lumset.ini, the Lumset.ini shipped for AutoCAD as shipped-lumset.ini, and a folder
// per stand-in CAD (cadA, cadB, hung, ijcad) holding its executable and its cad.cfg. The
// tests start the CADs they need. TEST is one of
//
//   load put enter get history1 history2 width search history1_no_text no_selection end
//                one command of the console this program creates, against cadA
//   shift        vortastart started with the Shift key held shows the console; every
//                command in a row, in vortastart's process
//   launcher     vortastart runs its launch path (console hidden)
//   hung         a CAD that stops answering does not hold the console
//   assistant    the settings assistant sets Lumset.ini up for a CAD that the shipped
//                values do not fit; vortastart then types
//   screenshot OUT, assistant-screenshot OUT
//                the windows for the README (scripts/screenshots.sh)
//
// Every wait is bounded. Exit code 0 when every check passed.
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/dpi_font.h"
#include "launcher/assistant/analysis.h"
#include "launcher/forms/assistant_layout.h"
#include "launcher/forms/layout.h"
#include "launcher/forms/win32/console_picker_host.h"
#include "launcher/forms/win32/win32_console_platform.h"
#include "launcher/settings.h"
#include "launcher/win32/win32.h"
// windows.h first.
#include <commctrl.h>

#include "launcher/win32/win32_platform.h"
#include "tests/win32/check.h"
#include "tools/e2e/win_text.h"

namespace {

using namespace vorta::forms;
using vorta::IsUnusedKey;
using vorta::KeyName;
using vorta::kSettingCount;
using vorta::assistant::kUnusedKeyText;
using namespace vorta::tools;
using vorta::win32::UniqueHandle;

constexpr DWORD kStepMs = 15000;  // the longest any one step may take
constexpr char kLoadRan[] = "run: (load \"pontek\")";

void Say(const std::string& line) {
    std::string out = line + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
}

bool WaitFor(const std::function<bool()>& condition, DWORD boundMs = kStepMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > boundMs) return false;
        Sleep(20);
    }
    return true;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    std::string out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f.get(), buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    return out;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// A program started with the given command line and working folder; none when it failed.
UniqueHandle StartProcess(std::wstring command, const std::wstring& folder = L"") {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return {};
    CloseHandle(pi.hThread);
    return UniqueHandle(pi.hProcess);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"<no answer>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(got);
    return text;
}

// One stand-in CAD process.
struct Cad {
    std::wstring folder;
    UniqueHandle process;
    std::map<std::string, HWND> windows;  // from its ready file
    std::string Log() const { return ReadFileBytes(folder + L"\\cad.log"); }
};

bool LogHas(const Cad& cad, const std::string& needle) {
    return cad.Log().find(needle) != std::string::npos;
}

std::size_t Count(const std::string& hay, const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

// The test's folder, and the stand-in CADs started from it; they are stopped at the end.
class Driver {
  public:
    explicit Driver(std::wstring folder) : folder_(std::move(folder)) {}
    ~Driver() {
        for (auto& cad : cads_) {
            WriteFileBytes(cad->folder + L"\\stop", "stop");
            WaitForSingleObject(cad->process.get(), 5000);
            TerminateProcess(cad->process.get(), 0);
        }
    }
    const std::wstring& folder() const { return folder_; }

    // The CAD of the folder's sub-folder `label`: its executable there, with its cad.cfg.
    Cad* StartCad(const std::wstring& label) {
        auto cad = std::make_unique<Cad>();
        cad->folder = folder_ + L"\\" + label;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((cad->folder + L"\\*.exe").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        const std::wstring exe = cad->folder + L"\\" + found.cFileName;
        cad->process = StartProcess(L"\"" + exe + L"\" \"" + cad->folder + L"\\cad.cfg\"");
        if (search == INVALID_HANDLE_VALUE || !cad->process) {
            CHECK(false, "start the stand-in CAD " + ToUtf8(label));
            return nullptr;
        }
        const std::wstring ready = cad->folder + L"\\ready.txt";
        CHECK(WaitFor([&] { return Exists(ready); }),
              "stand-in CAD " + ToUtf8(label) + " is ready");
        std::string text = ReadFileBytes(ready);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t nl = text.find('\n', pos);
            std::string line = text.substr(pos, nl - pos);
            pos = nl == std::string::npos ? text.size() : nl + 1;
            std::size_t eq = line.find('=');
            if (eq != std::string::npos)
                cad->windows[line.substr(0, eq)] = reinterpret_cast<HWND>(
                    static_cast<INT_PTR>(static_cast<LONG>(std::stoul(line.substr(eq + 1)))));
        }
        cads_.push_back(std::move(cad));
        return cads_.back().get();
    }

    // vortastart.exe of the folder, started plainly from there.
    UniqueHandle StartVortastart() const {
        return StartProcess(L"\"" + folder_ + L"\\vortastart.exe\"", folder_);
    }

  private:
    std::wstring folder_;
    std::vector<std::unique_ptr<Cad>> cads_;
};

// vortastart, started plainly, ends by itself; then the load command has run in the CAD
// (waited for a moment). False when it could not be started.
bool RunVortastart(const Driver& driver, const Cad& cad) {
    const UniqueHandle process = driver.StartVortastart();
    if (!process) {
        CHECK(false, "vortastart started");
        return false;
    }
    const bool ended = WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0;
    CHECK(ended, "launcher: vortastart ends by itself");
    if (!ended) TerminateProcess(process.get(), 1);
    WaitFor([&] { return LogHas(cad, kLoadRan); }, 5000);
    return true;
}

// --- Talking to the console window from outside, as the user would.

struct Console {
    HWND main = nullptr;
    DWORD pid = 0;
    HWND Item(int id) const { return GetDlgItem(main, id); }
};

struct Search {
    DWORD pid;  // 0: any process
    const wchar_t* className;
    const wchar_t* caption;  // nullptr: any caption
    HWND found;
    int count;
};

BOOL CALLBACK OnTopWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if ((s->pid == 0 || owner == s->pid) && lstrcmpW(cls, s->className) == 0 &&
        (s->caption == nullptr || TextOf(w) == s->caption)) {
        if (s->found == nullptr) s->found = w;
        ++s->count;
    }
    return TRUE;
}

Search FindTopWindows(DWORD pid, const wchar_t* className, const wchar_t* caption = nullptr) {
    Search search{pid, className, caption, nullptr, 0};
    EnumWindows(&OnTopWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND FindTopWindow(DWORD pid, const wchar_t* className, const wchar_t* caption) {
    return FindTopWindows(pid, className, caption).found;
}

// A message sent and waited for (bounded); its result.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
            bool* answered = nullptr) {
    DWORD_PTR r = 0;
    const bool ok =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kStepMs, &r) != 0;
    if (answered != nullptr) *answered = ok;
    return static_cast<LRESULT>(r);
}

bool Click(HWND button) {
    bool handled = false;
    Ask(button, BM_CLICK, 0, 0, &handled);
    return handled;
}

bool Menu(const Console& c, ControlId id) {
    bool handled = false;
    Ask(c.main, WM_COMMAND, MAKEWPARAM(id, 0), 0, &handled);
    return handled;
}

void SetText(HWND window, const std::wstring& text) {
    Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Posts a click whose handler shows a message box, reads the box and closes it.
// Returns the box's caption and text.
std::pair<std::wstring, std::wstring> ClickExpectingMessage(const Console& c, HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
    HWND box = nullptr;
    WaitFor([&] { return (box = FindTopWindow(c.pid, L"#32770", nullptr)) != nullptr; });
    if (box == nullptr) return {L"<no message box>", L""};
    std::pair<std::wstring, std::wstring> seen{TextOf(box), TextOf(GetDlgItem(box, 0xFFFF))};
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(box); });
    return seen;
}

RECT ChildRect(const Console& c, int id) {
    RECT r{};
    GetWindowRect(c.Item(id), &r);
    MapWindowPoints(nullptr, c.main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Dpi(HWND w) {
    return static_cast<int>(vorta::win32::DpiOf(w));
}

void CheckClientTwips(HWND w, int width, int height, const std::string& what) {
    RECT client{};
    GetClientRect(w, &client);
    const int dpi = Dpi(w);
    const int tw = PixelsToTwipsHalfAway(client.right, dpi);
    const int th = PixelsToTwipsHalfAway(client.bottom, dpi);
    CHECK(tw == width && th == height, what + " client area " + std::to_string(tw) + " x " +
                                           std::to_string(th) + " twips at " + std::to_string(dpi) +
                                           " dpi");
}

bool HasFont(HWND control, double points, int dpi) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(Ask(control, WM_GETFONT));
    return handle != nullptr && GetObjectW(handle, sizeof font, &font) != 0 &&
           lstrcmpW(font.lfFaceName, kFontFace) == 0 &&
           font.lfHeight == FontHeightPixels(points, dpi);
}

void EmptyTheClipboard() {
    if (const auto clip = OpenClipboardWithin(nullptr)) EmptyClipboard();
}

// The console is completed when it is first shown, after its hidden load step: the
// controls in tab order, txtGet showing what that load step's Get read, and (readable
// only in our own process) the class icons and the forms' fonts.
void CheckCompleted(const Console& c, Cad& a, bool ownProcess) {
    std::vector<int> order;
    for (HWND item = GetNextDlgTabItem(c.main, nullptr, FALSE);
         item != nullptr && order.size() < 16; item = GetNextDlgTabItem(c.main, item, FALSE)) {
        if (!order.empty() && item == c.Item(static_cast<ControlId>(order.front()))) break;
        order.push_back(GetDlgCtrlID(item));
    }
    // Labels take no focus; the others in the order of the design's table.
    std::vector<int> designed;
    for (const Control& control : kMainControls)
        if (control.kind != ControlKind::kLabel) designed.push_back(control.id);
    CHECK(order == designed, "shown: Tab goes through the controls in the designed order");
    CHECK(TextOf(c.Item(kIdTxtGet)) == TextOf(a.windows["main_edit"]),
          "shown: txtGet holds what the load step's Get read");
    if (!ownProcess) return;
    ICONINFO info{};
    BITMAP image{};
    HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(c.main, GCLP_HICON));
    const bool read = icon != nullptr && GetIconInfo(icon, &info) &&
                      GetObjectW(info.hbmColor, sizeof image, &image) != 0;
    CHECK(read && image.bmWidth == 32 && image.bmHeight == 32, "shown: the class has its icon");
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    CHECK(GetClassLongPtrW(c.main, GCLP_HICONSM) != 0, "shown: the class has its small icon");
    bool fonts = true;
    for (const Control& control : kMainControls) {
        const double points = control.id == kIdLabel3 ? kLabel3FontPoints : kFormFontPoints;
        if (!HasFont(c.Item(control.id), points, Dpi(c.main))) fonts = false;
    }
    CHECK(fonts, "shown: every control has the form's font, Label3 its own size");
}

// --- The console's commands. Each is checked on its own, as a test of its own after
// the set-up it needs, and all in a row in the console vortastart shows (RunCommands).

// The console under test and the stand-in CADs it talks to: A (with a text window),
// found at load, and B (without one), started for the CAD search.
struct Session {
    Driver& driver;
    Console c;
    Cad& a;
    bool ownProcess;
    Cad* b = nullptr;
    HWND history = nullptr;  // the history window, once History1 has opened it
    HWND Box() const { return history != nullptr ? GetDlgItem(history, kIdTxtHistory) : nullptr; }
};

bool PutLine(Session& s, const std::wstring& text) {
    SetText(s.c.Item(kIdTxtPut), text);
    return Click(s.c.Item(kIdCmdPut));
}

bool OpenHistory(Session& s) {
    EmptyTheClipboard();
    const bool handled = Click(s.c.Item(kIdCmdHistory1));
    s.history = FindTopWindow(s.c.pid, L"VortaConsoleHistory", L"ﾋｽﾄﾘｰ");
    return handled;
}

// B started; false when it did not come up.
bool StartB(Session& s) {
    s.b = s.driver.StartCad(L"cadB");
    return s.b != nullptr;
}

// B started and found by the CAD search, which selects it.
void SearchB(Session& s) {
    if (StartB(s)) Menu(s.c, kIdMnuCADSearch);
}

// Shown and loaded: one instance, selected, and its command line read by the load step.
void CheckLoaded(Session& s) {
    const Console& c = s.c;
    CheckCompleted(c, s.a, s.ownProcess);
    CheckClientTwips(c.main, kMainClientWidth, kMainClientHeight, "frmMain");
    CHECK(TextOf(c.main) == L"Tallwrite", "frmMain is captioned Tallwrite");
    CHECK(IsWindowVisible(c.main) != FALSE, "frmMain is shown");
    CHECK(Ask(c.Item(kIdCmbFileName), CB_GETCOUNT) == 1, "load: one CAD in cmbFileName");
    CHECK(Ask(c.Item(kIdCmbFileName), CB_GETCURSEL) == 0, "load: it is selected");
    CHECK(TextOf(c.Item(kIdCmbFileName)) == L"A.dwg",
          "load: it shows the drawing name (" + ToUtf8(TextOf(c.Item(kIdCmbFileName))) + ")");
    CHECK(LogHas(s.a, "gettextlength main-edit id=1001"), "load: Get read the CAD's command line");
}

void CheckPut(Session& s) {
    CHECK(PutLine(s, L"LINE"), "Put: click handled");
    CHECK(WaitFor([&] { return LogHas(s.a, "run: LINE"); }), "Put: the CAD ran LINE");
    CHECK(LogHas(s.a, "copydata wParam=1 dwData=1 cbData=6 hex=4C 49 4E 45 0D 00"),
          "Put: the command record is dwData 1, cbData 6, LINE CR NUL, wParam 1");
    CHECK(WaitFor([&] { return LogHas(s.a, "posted WM_NULL to main"); }), "Put: WM_NULL posted");
    CHECK(TextOf(s.c.Item(kIdTxtPut)) == L"LINE", "Put: txtPut keeps its text");
}

// Enter in txtPut: the same as Put, and nothing is inserted.
void CheckEnter(Session& s) {
    SetText(s.c.Item(kIdTxtPut), L"円弧");
    Ask(s.c.Item(kIdTxtPut), WM_CHAR, VK_RETURN, 1);
    const std::string arc = vorta::HexBytes(vorta::win32::WideToAnsi(L"円弧"));
    CHECK(WaitFor([&] { return LogHas(s.a, "cbData=6 hex=" + arc + " 0D 00"); }),
          "Enter: the CAD received 円弧 CR NUL (cbData 6)");
    CHECK(TextOf(s.c.Item(kIdTxtPut)) == L"円弧", "Enter: txtPut unchanged, Enter consumed");
}

// Get: what the CAD's command line holds appears in txtGet.
void CheckGet(Session& s) {
    SetText(s.a.windows["main_edit"], L"CIRCLE 10");
    CHECK(Click(s.c.Item(kIdCmdGet)), "Get: click handled");
    CHECK(TextOf(s.c.Item(kIdTxtGet)) == L"CIRCLE 10", "Get: txtGet shows the command line");
}

bool FillsClientArea(HWND window, HWND child) {
    RECT client{}, text{};
    GetClientRect(window, &client);
    GetWindowRect(child, &text);
    return text.right - text.left == client.right && text.bottom - text.top == client.bottom;
}

// History1: the CAD's history (holding a command run before) through the clipboard, in
// one history window.
void CheckHistory1(Session& s) {
    CHECK(OpenHistory(s), "History1: click handled");
    HWND history = s.history;
    CHECK(history != nullptr && IsWindowVisible(history), "History1: ﾋｽﾄﾘｰ is shown");
    const std::wstring h1 = TextOf(s.Box());
    CHECK(h1.find(L"コマンド: A.dwg") == 0 && h1.find(L"コマンド: LINE") != std::wstring::npos,
          "History1: txtHistory holds the CAD's history");
    CHECK(LogHas(s.a, "history-copy wParam=0x0000800D lParam=0"),
          "History1: WM_COMMAND 0x800D sent");
    if (history == nullptr) return;
    CheckClientTwips(history, kHistoryClientWidth, kHistoryClientHeight, "frmHistory");
    CHECK(FillsClientArea(history, s.Box()), "frmHistory: txtHistory fills the client area");
    SetWindowPos(history, nullptr, 0, 0, 500, 280, SWP_NOMOVE | SWP_NOZORDER);
    CHECK(FillsClientArea(history, s.Box()),
          "frmHistory: txtHistory still fills it after a resize");
}

// History2: the text window's history control; still one history window.
void CheckHistory2(Session& s) {
    SetText(s.a.windows["text_hist"], L"履歴2行目\r\nLINE");
    CHECK(Click(s.c.Item(kIdCmdHistory2)), "History2: click handled");
    CHECK(TextOf(s.Box()) == L"履歴2行目\r\nLINE", "History2: txtHistory replaced whole");
    CHECK(FindTopWindows(0, L"VortaConsoleHistory").count == 1,
          "History2: there is one history window");
}

// Width rule: 67 pixels wider (1005 twips at 96 dpi).
void CheckWidthRule(Session& s) {
    const Console& c = s.c;
    RECT before[kMainControls.size()];
    for (std::size_t i = 0; i < kMainControls.size(); ++i)
        before[i] = ChildRect(c, kMainControls[i].id);
    RECT frame{};
    GetWindowRect(c.main, &frame);
    const int grow = TwipsToPixelsHalfAway(1005, Dpi(c.main));
    SetWindowPos(c.main, nullptr, 0, 0, frame.right - frame.left + grow, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    bool rule = true;
    for (std::size_t i = 0; i < kMainControls.size(); ++i) {
        const RECT after = ChildRect(c, kMainControls[i].id);
        const int id = kMainControls[i].id;
        const bool widens = id == kIdCmbFileName || id == kIdTxtGet || id == kIdTxtPut;
        const int dw = (after.right - after.left) - (before[i].right - before[i].left);
        const bool moved = after.left != before[i].left || after.top != before[i].top ||
                           (after.bottom - after.top) != (before[i].bottom - before[i].top);
        if (moved || dw != (widens ? grow : 0)) {
            rule = false;
            Say(std::string("     ") + kMainControls[i].name + " changed by " + std::to_string(dw));
        }
    }
    CHECK(rule, "width rule: cmbFileName, txtGet and txtPut widen by 1005 twips, nothing moves");
    SetWindowPos(c.main, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

// CAD search with two CADs; the second has no text window.
void CheckSearch(Session& s) {
    if (!StartB(s)) return;
    const Console& c = s.c;
    CHECK(Menu(c, kIdMnuCADSearch), "CADSearch: menu handled");
    CHECK(Ask(c.Item(kIdCmbFileName), CB_GETCOUNT) == 2, "CADSearch: two CADs listed");
    CHECK(Ask(c.Item(kIdCmbFileName), CB_GETCURSEL) == 1, "CADSearch: the last one is selected");
    CHECK(TextOf(c.Item(kIdCmbFileName)) == L"B.dwg", "CADSearch: it is B.dwg");
}

// History1 against B: no text window answers and the clipboard holds no text.
std::pair<std::wstring, std::wstring> History1WithoutText(Session& s) {
    EmptyTheClipboard();
    return ClickExpectingMessage(s.c, s.c.Item(kIdCmdHistory1));
}

void CheckHistory1WithoutText(Session& s) {
    const std::wstring before = TextOf(s.Box());
    auto message = History1WithoutText(s);
    CHECK(message.first == L"vortastart" && message.second == L"テキストデータではありません",
          "History1 without text: テキストデータではありません titled vortastart");
    CHECK(TextOf(s.Box()) == before, "History1 without text: the history window keeps its text");
}

// No selection: every command stops at the message, nothing reaches the CAD.
void CheckNoSelection(Session& s) {
    if (s.b == nullptr) return;
    Ask(s.c.Item(kIdCmbFileName), CB_SETCURSEL, static_cast<WPARAM>(-1));
    const std::string logA = s.a.Log();
    const std::string logB = s.b->Log();
    for (ControlId id : {kIdCmdGet, kIdCmdPut, kIdCmdHistory1, kIdCmdHistory2}) {
        auto message = ClickExpectingMessage(s.c, s.c.Item(id));
        CHECK(message.first == L"vortastart" && message.second == L"AutoCADが選択されていません",
              std::string("no selection: ") + MainControl(id).name +
                  " says AutoCADが選択されていません");
    }
    Sleep(300);
    CHECK(Count(s.a.Log(), "copydata") == Count(logA, "copydata") &&
              Count(s.a.Log(), "gettext") == Count(logA, "gettext") && s.b->Log() == logB,
          "no selection: no message reached a CAD");
}

// End with the history window open closes both.
void CheckEnd(Session& s) {
    HWND history = s.history;
    CHECK(history != nullptr && IsWindow(history), "End: the history window is open");
    PostMessageW(s.c.main, WM_COMMAND, MAKEWPARAM(kIdMnuEnd, 0), 0);
    CHECK(
        WaitFor([&] { return !IsWindow(s.c.main) && (history == nullptr || !IsWindow(history)); }),
        "End: the console and the history window are closed");
}

using Step = void (*)(Session&);

struct CommandTest {
    const wchar_t* name;
    Step setUp;  // what the command needs first, unchecked; nullptr: nothing
    Step check;
};

// In the order RunCommands takes them.
const CommandTest kCommandTests[] = {
    {L"load", nullptr, &CheckLoaded},
    {L"put", nullptr, &CheckPut},
    {L"enter", nullptr, &CheckEnter},
    {L"get", nullptr, &CheckGet},
    {L"history1",
     [](Session& s) {
         PutLine(s, L"LINE");
         WaitFor([&] { return LogHas(s.a, "run: LINE"); });
     },
     &CheckHistory1},
    {L"history2", [](Session& s) { OpenHistory(s); }, &CheckHistory2},
    {L"width", nullptr, &CheckWidthRule},
    {L"search", nullptr, &CheckSearch},
    {L"history1_no_text",
     [](Session& s) {
         OpenHistory(s);
         SearchB(s);
     },
     &CheckHistory1WithoutText},
    // B, started last, is the active window until a message box of the console's takes
    // the activation over; then the console keeps it.
    {L"no_selection",
     [](Session& s) {
         OpenHistory(s);
         SearchB(s);
         History1WithoutText(s);
     },
     &CheckNoSelection},
    {L"end", [](Session& s) { OpenHistory(s); }, &CheckEnd},
};

// Every command in a row, as a user might take them; the CAD search's B is needed by
// what follows it.
void RunCommands(Session& s) {
    for (const CommandTest& test : kCommandTests) {
        test.check(s);
        if (test.check == &CheckSearch && s.b == nullptr) return;
    }
}

// --- The console created in this process, with the settings of the test's folder.

struct InProcessConsole {
    explicit InProcessConsole(const Driver& driver) {
        state.AppFolder = driver.folder() + L"\\";
        state.settings = vorta::LoadLauncherSettings(platform, state.AppFolder);
    }
    vorta::win32::Win32Platform platform;
    win32::Win32ConsolePlatform console{platform};
    vorta::LauncherState state;
    win32::ConsolePickerHost host{platform, console, state, GetModuleHandleW(nullptr)};
};

// Shows the console and runs `work` on a second thread while this one runs the window's
// events; then ends the console (unless `work` did). Bounded by the work's own waits and
// by the Wine runner's time-out.
void WithOwnConsole(const Driver& driver, const std::function<void(const Console&)>& work) {
    InProcessConsole in(driver);
    win32::frmMain& form = in.host.Form();
    form.onClosed = [] { PostQuitMessage(0); };
    form.ShowCentred();
    const Console c{form.hwnd(), GetCurrentProcessId()};
    std::thread worker([&] {
        work(c);
        if (IsWindow(c.main)) PostMessageW(c.main, WM_COMMAND, MAKEWPARAM(kIdMnuEnd, 0), 0);
    });
    win32::RunMessageLoop(form);
    worker.join();
}

// The windows stay as they are for a screenshot: their rectangles (name x y width height
// a line) go to <out>.rects, and the windows stay until <out>.done exists (bounded).
void HoldForScreenshot(const std::wstring& out,
                       const std::vector<std::pair<const char*, HWND>>& shown) {
    Sleep(500);
    std::string rects;
    for (const auto& [name, window] : shown) {
        RECT r{};
        GetWindowRect(window, &r);
        char line[96];
        wsprintfA(line, "%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
        rects += line;
    }
    WriteFileBytes(out + L".rects", rects);
    WaitFor([&] { return Exists(out + L".done"); }, 60000);
}

// --- Tests

int RunCommandTest(Driver& driver, const CommandTest& test) {
    Cad* a = driver.StartCad(L"cadA");
    if (a == nullptr) return 1;
    WithOwnConsole(driver, [&](const Console& c) {
        Session s{driver, c, *a, true};
        if (test.setUp != nullptr) test.setUp(s);
        test.check(s);
    });
    return 0;
}

// Shift is held on the X server's own keyboard by the test's script, so that Wine keeps
// it down whichever window has the focus; a synthetic key from SendInput is dropped again
// when Wine brings its key state in line with the X keyboard. The script lets go of the
// key once this program creates the file named by VORTA_SHIFT_RELEASE.
bool ShiftHeld() {
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
}

void ReleaseShift() {
    wchar_t path[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VORTA_SHIFT_RELEASE", path, MAX_PATH) == 0) return;
    WriteFileBytes(path, "");
    if (WaitFor([] { return !ShiftHeld(); }, 3000)) return;
    // Wine missed the key's release: let go of it here too, so that nothing that follows
    // types with Shift held.
    Say("note: Shift still read as held after its release; releasing it again");
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_SHIFT;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    CHECK(WaitFor([] { return !ShiftHeld(); }, 3000), "Shift is let go after the start");
}

int Shift(Driver& driver) {
    Cad* a = driver.StartCad(L"cadA");
    if (a == nullptr) return 1;
    CHECK(WaitFor(ShiftHeld, 5000), "Shift is held down");
    const UniqueHandle process = driver.StartVortastart();
    CHECK(process.valid(), "vortastart started with Shift held");
    if (!process) {
        ReleaseShift();
        return 1;
    }
    const DWORD pid = GetProcessId(process.get());
    Console c{nullptr, pid};
    WaitFor([&] {
        c.main = FindTopWindow(pid, L"VortaConsoleMain", L"Tallwrite");
        return c.main != nullptr && IsWindowVisible(c.main);
    });
    ReleaseShift();
    CHECK(c.main != nullptr && IsWindowVisible(c.main), "Shift: vortastart shows frmMain");
    if (c.main == nullptr) {
        // Tell apart "Shift was not seen" (the launch ran) from "the console was slow".
        Say(std::string("note: vortastart ") +
            (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 ? "has ended" : "still runs") +
            "; pastes in the CAD: " + std::to_string(Count(a->Log(), "paste")));
        TerminateProcess(process.get(), 1);
        return 1;
    }
    RECT r{};
    GetWindowRect(c.main, &r);
    const int cx = (r.left + r.right) / 2;
    const int cy = (r.top + r.bottom) / 2;
    const int sx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int sy = GetSystemMetrics(SM_CYSCREEN) / 2;
    CHECK(cx > sx - 40 && cx < sx + 40 && cy > sy - 60 && cy < sy + 60,
          "Shift: frmMain is centred");
    CHECK(Count(a->Log(), "paste") == 0, "Shift: nothing was typed into the CAD");
    Session s{driver, c, *a, false};
    RunCommands(s);
    const bool ended = WaitForSingleObject(process.get(), kStepMs) == WAIT_OBJECT_0;
    CHECK(ended, "Shift: vortastart ends when the console is closed");
    if (!ended) TerminateProcess(process.get(), 1);
    return 0;
}

int Launcher(Driver& driver) {
    Cad* a = driver.StartCad(L"cadA");
    if (a == nullptr || !RunVortastart(driver, *a)) return 1;
    const std::string log = a->Log();
    const std::size_t get = log.find("gettextlength main-edit id=1001");
    const std::size_t paste = log.find("paste ");
    CHECK(get != std::string::npos, "launcher: the hidden console's Get reached the CAD");
    CHECK(get != std::string::npos && paste != std::string::npos && get < paste,
          "launcher: ... before the launch sequence typed into it");
    CHECK(Count(log, "gettextlength") == 1, "launcher: the console's load step ran once");
    const bool ran = log.find(kLoadRan) != std::string::npos;
    CHECK(ran, "launcher: the load command ran");
    if (!ran) Say("the CAD's log:\n" + log);
    return 0;
}

// The CAD stops answering 3 s after its start, for 40 s.
int Hung(Driver& driver) {
    Cad* a = driver.StartCad(L"hung");
    if (a == nullptr) return 1;
    InProcessConsole in(driver);
    win32::frmMain& form = in.host.Form();
    CHECK(WaitFor([&] { return LogHas(*a, "hang begin"); }), "hung: the CAD stopped answering");
    DWORD t0 = GetTickCount();
    form.ShowCentred();
    Say("     shown after " + std::to_string(GetTickCount() - t0) + " ms");
    form.History().Create();
    const DWORD start = GetTickCount();
    form.cmdPut_Click();
    Say("     Put after " + std::to_string(GetTickCount() - start) + " ms");
    form.cmdHistory2_Click();
    const DWORD took = GetTickCount() - start;
    CHECK(took < 3 * kCadAnswerTimeoutMs + 2000,
          "hung: Put and History2 came back after " + std::to_string(took) + " ms");
    CHECK(form.Commands().LastGetText() == L" ", "hung: Get read a single blank");
    form.mnuEnd_Click();
    return 0;
}

// Shows both windows with content at fixed places for the README.
int Screenshot(Driver& driver, const std::wstring& out) {
    Cad* a = driver.StartCad(L"cadA");
    if (a == nullptr) return 1;
    WithOwnConsole(driver, [&](const Console& c) {
        Session s{driver, c, *a, true};
        PutLine(s, L"LINE");
        PutLine(s, L"円弧");
        SetText(a->windows["main_edit"], L"CIRCLE 中心点を指定");
        Click(c.Item(kIdCmdGet));
        OpenHistory(s);
        SetWindowPos(c.main, HWND_TOP, 24, 24, 0, 0, SWP_NOSIZE);
        if (s.history != nullptr) SetWindowPos(s.history, HWND_TOP, 360, 24, 0, 0, SWP_NOSIZE);
        Ask(c.Item(kIdTxtPut), EM_SETSEL, 0, 0);
        HoldForScreenshot(out, {{"console", c.main}, {"history", s.history}});
    });
    return 0;
}

// --- The settings assistant, against a CAD the shipped Lumset.ini does not fit: another
// executable name, other captions, other control identifiers (the folder "ijcad").

constexpr wchar_t kIjcadMain[] = L"IJCAD 2020 PRO - [図面A.dwg]";
// What the assistant is expected to propose for it, key by key; TextCmdCtrlID and
// MainHistCtrlID, used by no part of the launcher, are not proposed.
const std::array<std::wstring, kSettingCount> kIjcadValues{
    L"IJCAD", L"コマンド ウィンドウ", L"IJCAD 20",    L"IJCAD テキスト ウィンドウ",
    L"2001",  kUnusedKeyText,         kUnusedKeyText, L"2004"};

// The console's folder gets the Lumset.ini shipped for AutoCAD.
std::string UseShippedSettings(const Driver& driver) {
    const std::string shipped = ReadFileBytes(driver.folder() + L"\\shipped-lumset.ini");
    CHECK(shipped.find("ACADName=acad\r\n") != std::string::npos,
          "the shipped Lumset.ini is at hand");
    WriteFileBytes(driver.folder() + L"\\Lumset.ini", shipped);
    return shipped;
}

std::wstring ComboText(HWND list, int index) {
    const auto length = Ask(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    Ask(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Every label of the assistant's window tree, depth first.
std::vector<std::wstring> TreeLabels(HWND tree) {
    std::vector<std::wstring> labels;
    std::function<void(HTREEITEM)> walk = [&](HTREEITEM item) {
        for (; item != nullptr && labels.size() < 2000;
             item = reinterpret_cast<HTREEITEM>(
                 Ask(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            wchar_t text[1024] = {};
            TVITEMW data{};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 1024;
            Ask(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
            labels.push_back(text);
            walk(reinterpret_cast<HTREEITEM>(
                Ask(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))));
        }
    };
    walk(reinterpret_cast<HTREEITEM>(Ask(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    return labels;
}

bool AnyLabel(const std::vector<std::wstring>& labels, const std::wstring& a,
              const std::wstring& b = L"") {
    return std::any_of(labels.begin(), labels.end(), [&](const std::wstring& l) {
        return l.find(a) != std::wstring::npos && l.find(b) != std::wstring::npos;
    });
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Opens the assistant from the console's menu and picks the IJCAD; the assistant's window.
HWND OpenAssistantOn(const Console& c, Cad& cad) {
    CHECK(Menu(c, static_cast<ControlId>(kIdMnuSettingsAssistant)),
          "assistant: 設定(S) → Lumset.ini の設定アシスタント... is handled");
    HWND a = nullptr;
    WaitFor([&] {
        a = FindTopWindow(c.pid, L"VortaSettingsAssistant", nullptr);
        return a != nullptr && IsWindowVisible(a);
    });
    CHECK(a != nullptr, "assistant: its window is shown");
    if (a == nullptr) return nullptr;
    HWND list = GetDlgItem(a, kIdAsstProgram);
    CHECK(Ask(list, CB_GETCURSEL) == -1,
          "assistant: no program is chosen while ACADName fits none");
    const std::wstring pid =
        std::to_wstring(static_cast<UINT_PTR>(reinterpret_cast<UINT_PTR>(cad.windows["pid"])));
    int ijcad = -1;
    for (int i = 0; i < static_cast<int>(Ask(list, CB_GETCOUNT)); ++i) {
        const std::wstring text = ComboText(list, i);
        if (text.rfind(L"IJCAD.exe（PID " + pid + L"）", 0) == 0 &&
            text.find(kIjcadMain) != std::wstring::npos)
            ijcad = i;
    }
    CHECK(ijcad >= 0, "assistant: IJCAD.exe is listed with its process id and window titles");
    // Picked as a user picks: the selection, then the list's notification.
    Ask(list, CB_SETCURSEL, static_cast<WPARAM>(ijcad));
    Ask(a, WM_COMMAND, MAKEWPARAM(kIdAsstProgram, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return a;
}

// The marks of the six keys the launcher uses, each as expected, and none for the other
// two; the others are told.
bool AllMarked(HWND a, const wchar_t* mark, const char* told) {
    bool all = true;
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const std::wstring seen = TextOf(GetDlgItem(a, kIdAsstRowMark + static_cast<int>(k)));
        if (seen == (IsUnusedKey(k) ? L"" : mark)) continue;
        all = false;
        if (told != nullptr) Say("     " + ToUtf8(KeyName(k)) + told + ToUtf8(seen));
    }
    return all;
}

void UseAssistant(const Console& c, Cad& cad, const std::wstring& work,
                  const std::string& shipped) {
    HMENU bar = GetMenu(c.main);
    wchar_t first[32] = {}, second[32] = {}, item[64] = {};
    GetMenuStringW(bar, 0, first, 32, MF_BYPOSITION);
    GetMenuStringW(bar, 1, second, 32, MF_BYPOSITION);
    GetMenuStringW(GetSubMenu(bar, 1), 0, item, 64, MF_BYPOSITION);
    CHECK(GetMenuItemCount(bar) == 2 && lstrcmpW(first, L"File(&F)") == 0 &&
              GetMenuItemCount(GetSubMenu(bar, 0)) == 2 && lstrcmpW(second, L"設定(&S)") == 0 &&
              GetMenuItemCount(GetSubMenu(bar, 1)) == 1 &&
              lstrcmpW(item, L"Lumset.ini の設定アシスタント...") == 0,
          "frmMain: File(F) keeps its two items; 設定(S) holds the assistant");

    HWND a = OpenAssistantOn(c, cad);
    if (a == nullptr) return;
    CHECK(TextOf(a) == kAssistantCaption, "assistant: captioned Lumset.ini の設定アシスタント");
    CHECK(GetWindow(a, GW_OWNER) == c.main, "assistant: owned by the console window");
    CheckClientTwips(a, kAssistantClientWidth, kAssistantClientHeight, "assistant");
    auto control = [&](int id) { return GetDlgItem(a, id); };
    CHECK(HasFont(control(kIdAsstTree), kFormFontPoints, Dpi(a)),
          "assistant: the console's font at the window's DPI");

    // The shipped values are judged against the IJCAD, and values proposed.
    bool proposed = true, accepted = true;
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const int key = static_cast<int>(k);
        const std::wstring value = TextOf(control(kIdAsstRowValue + key));
        if (value != kIjcadValues[k]) {
            proposed = false;
            Say("     " + ToUtf8(KeyName(k)) + " proposed as " + ToUtf8(value));
        }
        const bool ticked = Ask(control(kIdAsstRowAccept + key), BM_GETCHECK) == BST_CHECKED;
        const bool open = IsWindowEnabled(control(kIdAsstRowValue + key)) &&
                          IsWindowEnabled(control(kIdAsstRowAccept + key));
        if (ticked == IsUnusedKey(k) || open == IsUnusedKey(k)) accepted = false;
    }
    CHECK(AllMarked(a, L"×", nullptr),
          "assistant: every shipped value the launcher uses is judged × for the IJCAD");
    CHECK(proposed,
          "assistant: IJCAD, コマンド ウィンドウ, IJCAD 20, IJCAD テキスト ウィンドウ, 2001 and "
          "2004 are proposed; TextCmdCtrlID and MainHistCtrlID say （起動ツールでは使われて"
          "いません）");
    CHECK(accepted,
          "assistant: every proposal is ticked to be accepted; the two unused keys' rows are "
          "disabled and not ticked");
    const std::wstring judgement = TextOf(control(kIdAsstResult));
    CHECK(judgement.find(L"× MainCaption「Autodesk AutoCAD 20」: 「Autodesk AutoCAD 20」で始まる"
                         L"タイトルのウィンドウがありません。") != std::wstring::npos,
          "assistant: the report gives the reason of each ×");
    std::vector<std::wstring> labels = TreeLabels(control(kIdAsstTree));
    CHECK(AnyLabel(labels, std::wstring(L"「") + kIjcadMain + L"」  VortaStandinCadMain  表示") &&
              AnyLabel(labels, L"「コマンド ウィンドウ」  VortaStandinCadCommandLine  ID 0") &&
              AnyLabel(labels, L"（タイトルなし）  Edit  ID 2001  表示") &&
              AnyLabel(labels, L"（タイトルなし）  Edit  ID 2004"),
          "assistant: the tree shows the windows with class, identifier, visibility and size");

    // 試す: what the launcher would drive; nothing reaches the CAD.
    const std::string before = cad.Log();
    CHECK(Click(control(kIdAsstTry)), "try: handled");
    const std::wstring tried = TextOf(control(kIdAsstResult));
    CHECK(tried.find(L"・図面名: 「図面A.dwg」") != std::wstring::npos &&
              tried.find(L"クリックするコマンド ライン: 「コマンド ウィンドウ」") !=
                  std::wstring::npos &&
              tried.find(L"この値なら") != std::wstring::npos,
          "try: the drawing 図面A.dwg and the command line the launcher would click");
    Sleep(300);
    const std::string after = cad.Log();
    CHECK(Count(after, "paste") == 0 && Count(after, "click") == Count(before, "click") &&
              Count(after, "copydata") == 0 && Count(after, "gettext") == Count(before, "gettext"),
          "try: nothing reached the CAD");

    // A save whose temporary file cannot be made: told, naming the folder; nothing changed.
    const std::wstring ini = work + L"\\Lumset.ini";
    CreateDirectoryW((ini + L".tmp").c_str(), nullptr);
    auto message = ClickExpectingMessage(c, control(kIdAsstSave));
    CHECK(message.first == L"vortastart" && message.second.find(work) != std::wstring::npos &&
              message.second.find(L"元の Lumset.ini はそのままです") != std::wstring::npos,
          "save that fails: the message names the folder and keeps the old file: " +
              ToUtf8(message.second));
    CHECK(ReadFileBytes(ini) == shipped && !Exists(ini + L".bak"),
          "save that fails: Lumset.ini is untouched, no Lumset.ini.bak");
    CHECK(message.second.find(L"Lumset.ini.tmp という名前のフォルダがある") != std::wstring::npos &&
              message.second.find(L"。）") == std::wstring::npos,
          "save that fails: the message names the folder in the way, the system's text without "
          "a doubled 。");
    RemoveDirectoryW((ini + L".tmp").c_str());

    // A read-only Lumset.ini: told as such, untouched; once the user clears the attribute,
    // the save works although the backup of that attempt is left read-only and hidden, and
    // so is a temporary file of an earlier one.
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
    message = ClickExpectingMessage(c, control(kIdAsstSave));
    CHECK(
        message.second.find(L"Lumset.ini が読み取り専用になっているため") != std::wstring::npos &&
            ReadFileBytes(ini) == shipped && !Exists(ini + L".tmp"),
        "save onto a read-only Lumset.ini: told so, the file untouched: " + ToUtf8(message.second));
    SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(ini + L".tmp", "left over");
    for (const wchar_t* left : {L".tmp", L".bak"})
        SetFileAttributesW((ini + left).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    // The save: only the eight keys' lines change.
    CHECK(Click(control(kIdAsstSave)), "save: handled");
    const std::string saved = ReadFileBytes(ini);
    CHECK(ReadFileBytes(ini + L".bak") == shipped &&
              (GetFileAttributesW((ini + L".bak").c_str()) &
               (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) == 0,
          "save: the old file is kept as Lumset.ini.bak, neither read-only nor hidden");
    CHECK(!Exists(ini + L".tmp"), "save: no temporary file is left");
    const std::vector<std::string> oldLines = Lines(shipped);
    const std::vector<std::string> newLines = Lines(saved);
    bool kept = oldLines.size() == newLines.size() && saved.size() >= 2 &&
                saved.compare(saved.size() - 2, 2, "\r\n") == 0 &&
                Count(saved, "\n") == Count(saved, "\r\n");
    int changed = 0;
    for (std::size_t i = 0; kept && i < oldLines.size(); ++i) {
        std::string expected = oldLines[i];
        for (std::size_t k = 0; k < kSettingCount; ++k) {
            const std::string key = vorta::win32::WideToAnsi(KeyName(k)) + "=";
            if (!IsUnusedKey(k) && oldLines[i].rfind(key, 0) == 0) {
                expected = key + vorta::win32::WideToAnsi(kIjcadValues[k]);
                ++changed;
            }
        }
        if (newLines[i] != expected) {
            kept = false;
            Say("     line " + std::to_string(i + 1) + ": " + vorta::HexBytes(newLines[i]));
        }
    }
    CHECK(kept && changed == 6,
          "save: the six keys the launcher uses have the new values, every other line (the "
          "unused keys' too) is kept byte for byte, CR LF");

    // Judged again with the saved values.
    CHECK(AllMarked(a, L"✓", " is judged "), "save: every value is judged ✓ afterwards");
    CHECK(TextOf(control(kIdAsstResult)).find(L"Lumset.ini を保存しました") != std::wstring::npos,
          "save: the report says it was saved");
    labels = TreeLabels(control(kIdAsstTree));
    CHECK(AnyLabel(labels, kIjcadMain, L"◀ MainCaption") &&
              AnyLabel(labels, L"ID 2001", L"◀ MainCmdCtrlID") &&
              AnyLabel(labels, L"ID 2004", L"◀ TextHistCtrlID"),
          "save: the tree marks the windows the values point at");

    CHECK(Click(control(kIdAsstClose)), "assistant: 閉じる handled");
    CHECK(WaitFor([&] { return !IsWindow(a); }), "assistant: closed");
}

int Assistant(Driver& driver) {
    const std::string shipped = UseShippedSettings(driver);
    Cad* cad = driver.StartCad(L"ijcad");
    if (cad == nullptr) return 1;
    WithOwnConsole(driver,
                   [&](const Console& c) { UseAssistant(c, *cad, driver.folder(), shipped); });
    // vortastart, started plainly beside the saved Lumset.ini, types into the IJCAD.
    if (!RunVortastart(driver, *cad)) return 1;
    const std::string log = cad->Log();
    CHECK(LogHas(*cad, " hex=1B ") &&
              LogHas(*cad, " hex=28 6C 6F 61 64 20 22 70 6F 6E 74 65 6B 22 29 0D 0A ") &&
              LogHas(*cad, kLoadRan),
          "launcher: ESC and (load \"pontek\") were typed into the IJCAD");
    if (!LogHas(*cad, kLoadRan)) Say("the CAD's log:\n" + log);
    return 0;
}

// The assistant for the README: chosen CAD, proposals, a try.
int AssistantScreenshot(Driver& driver, const std::wstring& out) {
    UseShippedSettings(driver);
    Cad* cad = driver.StartCad(L"ijcad");
    if (cad == nullptr) return 1;
    WithOwnConsole(driver, [&](const Console& c) {
        HWND a = OpenAssistantOn(c, *cad);
        if (a == nullptr) return;
        Click(GetDlgItem(a, kIdAsstTry));
        SetWindowPos(a, HWND_TOP, 16, 16, 0, 0, SWP_NOSIZE);
        HoldForScreenshot(out, {{"assistant", a}});
    });
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const auto args = Arguments();
    if (args.size() < 2) {
        Say("usage: console_driver TEST FOLDER [OUT]");
        return 2;
    }
    const std::wstring& test = args[0];
    const std::wstring out = args.size() > 2 ? args[2] : L"";
    const std::map<std::wstring, std::function<int(Driver&)>> tests{
        {L"shift", &Shift},
        {L"launcher", &Launcher},
        {L"hung", &Hung},
        {L"assistant", &Assistant},
        {L"screenshot", [&](Driver& d) { return Screenshot(d, out); }},
        {L"assistant-screenshot", [&](Driver& d) { return AssistantScreenshot(d, out); }},
    };
    const auto found = tests.find(test);
    const auto command = std::find_if(std::begin(kCommandTests), std::end(kCommandTests),
                                      [&](const CommandTest& t) { return test == t.name; });
    if (found == tests.end() && command == std::end(kCommandTests)) {
        Say("unknown test");
        return 2;
    }
    int rc = 0;
    {
        Driver driver(args[1]);
        Say("console_driver " + ToUtf8(test) + " in " + ToUtf8(driver.folder()));
        rc = found != tests.end() ? found->second(driver) : RunCommandTest(driver, *command);
    }
    const int failures = vorta::test::Failures();
    Say(failures == 0 ? "all checks passed" : std::to_string(failures) + " checks failed");
    return rc != 0 || failures != 0 ? 1 : 0;
}
