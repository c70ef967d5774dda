// Drives vortasetup.exe from outside, as a user would, for the Wine tests: finds its window,
// clicks its buttons, works the folder dialog and reads and closes its message boxes.
// Every wait is bounded. Facts are printed one per line, UTF-8, for the test script:
//   FORM client=WxH expected=WxH pos=X,Y expected-pos=X,Y topmost=0|1
//   INSTALLER elevated=0|1
//   DIALOG prompt=0|1 selected=<label>
//   BOX title=<title> text=<text with line breaks as \n>
//   EXIT code=<n>
//   GUIDE none | GUIDE opened=<path> parent=<program that started the viewer> elevated=0|1
// Usage:
//   installer_driver close    <installer.exe>           press キャンセル
//   installer_driver closebox <installer.exe>           close the window with its close box
//   installer_driver install  <installer.exe> <folder> [label]
//                                                       choose <folder> and confirm once the
//                                                       tree shows it selected (label: its
//                                                       last component unless given); PDFs
//                                                       open in this driver's viewer meanwhile
//   installer_driver install-unelevated <installer.exe> <folder> [label]
//                                                       the same with the installer started
//                                                       with the limited token of this user
//   installer_driver cancel   <installer.exe>           cancel the folder dialog
//   installer_driver resources <installer.exe>          manifest, icon and banner facts
//   installer_driver show <installer.exe> <ms>          print the window's screen rectangle,
//                                                       keep it up <ms>, then press キャンセル
//   installer_driver viewer <report> <document>         the PDF viewer of "install": writes
//                                                       what the GUIDE line says to <report>
// clang-format off
#include "common/win32/win.h"
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/win32/ansi.h"
#include "common/win32/dpi_font.h"
#include "common/win32/elevation.h"
#include "common/win32/system.h"
#include "common/win32/unique.h"
#include "common/win32/window.h"
#include "tools/e2e/win_text.h"

namespace {

using vorta::tools::FromUtf8;
using vorta::tools::ToUtf8;
using vorta::win32::AnsiToWide;
using vorta::win32::ProcessElevated;
using vorta::win32::UniqueHandle;
using vorta::win32::WindowClassName;

constexpr DWORD kFormTimeoutMs = 30000;
constexpr DWORD kDialogTimeoutMs = 30000;
constexpr DWORD kEndTimeoutMs = 60000;
constexpr DWORD kMessageTimeoutMs = 5000;
constexpr DWORD kViewerTimeoutMs = 30000;
// Form1's buttons.
enum ButtonId : int { kCommand1 = 101, kCommand2 = 102 };

// Memory inside the installer's process, for messages whose pointers it dereferences.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, SIZE_T size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    char* get() const { return static_cast<char*>(address_); }

  private:
    HANDLE process_;
    void* address_;
};

void FreeImage(HMODULE image) {
    FreeLibrary(image);
}

void CloseKey(HKEY key) {
    RegCloseKey(key);
}

// A program file loaded for its resources only, and an opened registry key.
using LoadedImage = vorta::win32::Unique<HMODULE, &FreeImage>;
using RegistryKey = vorta::win32::Unique<HKEY, &CloseKey>;

void Print(const std::wstring& line) {
    const std::string bytes = ToUtf8(line + L"\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

// The default value of a key under HKEY_CLASSES_ROOT, or empty text.
std::wstring ClassValue(const std::wstring& key) {
    wchar_t value[256] = {};
    LONG size = sizeof(value);
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS) return {};
    return value;
}

// While "install" runs, PDFs open in this driver's "viewer": a verb of the .pdf type's class,
// made its default verb. Wine 8 reads file types from HKEY_CLASSES_ROOT only (not from the
// user's Software\Classes), so the class itself gets the verb, and loses it afterwards. A
// class with a default verb of its own is not touched.
class GuideViewer {
  public:
    static constexpr wchar_t kVerb[] = L"vortatestview";

    GuideViewer() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        report_ = std::wstring(temp) + L"vorta-guide-viewer.txt";
        DeleteFileW(report_.c_str());
        const std::wstring file_class = ClassValue(L".pdf");
        const std::wstring default_verb = ClassValue(file_class + L"\\shell");
        if (file_class.empty() || !(default_verb.empty() || default_verb == kVerb)) return;
        shell_ = file_class + L"\\shell";
        registered_ = SetDefault(shell_ + L"\\" + kVerb + L"\\command",
                                 L"\"" + vorta::win32::ExePath() + L"\" viewer \"" + report_ +
                                     L"\" \"%1\"") &&
                      SetDefault(shell_, kVerb);
    }
    GuideViewer(const GuideViewer&) = delete;
    GuideViewer& operator=(const GuideViewer&) = delete;
    ~GuideViewer() { Restore(); }

    bool Registered() const { return registered_; }
    const std::wstring& Report() const { return report_; }

    void Restore() {
        if (shell_.empty()) return;
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (shell_ + L"\\" + kVerb).c_str());
        RegDeleteKeyValueW(HKEY_CLASSES_ROOT, shell_.c_str(), nullptr);
        shell_.clear();
    }

  private:
    static bool SetDefault(const std::wstring& key, const std::wstring& value) {
        RegistryKey opened;
        return RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, opened.put(), nullptr) == ERROR_SUCCESS &&
               RegSetValueExW(
                   opened.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

    std::wstring report_;
    std::wstring shell_;
    bool registered_ = false;
};

// The installer being driven and the viewer registration; a failing run leaves neither
// behind.
HANDLE g_installer_process = nullptr;
GuideViewer* g_guide_viewer = nullptr;

[[noreturn]] void Fail(const std::wstring& why) {
    Print(L"FAIL " + why);
    if (g_installer_process) TerminateProcess(g_installer_process, 3);
    if (g_guide_viewer) g_guide_viewer->Restore();
    ExitProcess(2);
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring OneLine(const std::wstring& text) {
    std::wstring line;
    for (wchar_t c : text) {
        if (c == L'\r') continue;
        if (c == L'\n') {
            line += L"\\n";
        } else {
            line += c;
        }
    }
    return line;
}

struct WindowQuery {
    DWORD process_id;
    std::wstring window_class;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
    auto* query = reinterpret_cast<WindowQuery*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == query->process_id && IsWindowVisible(window) &&
        WindowClassName(window) == query->window_class) {
        query->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD process_id, const wchar_t* window_class) {
    WindowQuery query{process_id, window_class, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildOfClass(HWND parent, const wchar_t* window_class) {
    for (HWND child : Children(parent)) {
        if (WindowClassName(child) == window_class) return child;
    }
    return nullptr;
}

struct Installer {
    explicit Installer(const PROCESS_INFORMATION& started)
        : info(started), process(started.hProcess), thread(started.hThread) {}
    PROCESS_INFORMATION info;
    UniqueHandle process;
    UniqueHandle thread;
};

bool Ended(const Installer& installer) {
    return WaitForSingleObject(installer.process.get(), 0) == WAIT_OBJECT_0;
}

// Waits up to timeout for a window the predicate picks, checking the process is alive.
template <typename Pick>
HWND WaitFor(const Installer& installer, DWORD timeout, const wchar_t* what, Pick pick) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        if (HWND window = pick()) return window;
        if (Ended(installer)) Fail(std::wstring(L"installer ended while waiting for ") + what);
        Sleep(50);
    }
    Fail(std::wstring(L"timed out waiting for ") + what);
}

HWND WaitForForm(const Installer& installer) {
    return WaitFor(installer, kFormTimeoutMs, L"Form1", [&]() -> HWND {
        const auto forms = TopLevelWindows(installer.info.dwProcessId, L"VortaSetupForm1");
        return forms.empty() ? nullptr : forms.front();
    });
}

// The folder dialog is the installer's #32770 window holding a tree view; its caption is
// localised, so it is not searched by title.
HWND FindFolderDialog(DWORD process_id) {
    for (HWND dialog : TopLevelWindows(process_id, L"#32770")) {
        if (ChildOfClass(dialog, WC_TREEVIEWW)) return dialog;
    }
    return nullptr;
}

// Any other dialog of the installer's, except the folder dialog: while that one closes, it
// can still show after its tree is gone.
HWND FindMessageBox(DWORD process_id, HWND folder_dialog) {
    for (HWND dialog : TopLevelWindows(process_id, L"#32770")) {
        if (dialog != folder_dialog && !ChildOfClass(dialog, WC_TREEVIEWW)) return dialog;
    }
    return nullptr;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The limited token linked to this process's elevated one, as a primary token: what the
// user's programs get when they do not ask for more.
HANDLE LimitedToken() {
    UniqueHandle own_token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own_token.put())) {
        Fail(L"OpenProcessToken failed");
    }
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!GetTokenInformation(own_token.get(), TokenLinkedToken, &linked, sizeof(linked), &size)) {
        Fail(L"no linked token");
    }
    const UniqueHandle linked_token(linked.LinkedToken);
    HANDLE primary = nullptr;
    if (!DuplicateTokenEx(linked_token.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation,
                          TokenPrimary, &primary)) {
        Fail(L"DuplicateTokenEx failed");
    }
    return primary;
}

PROCESS_INFORMATION Start(const std::wstring& exe, bool unelevated) {
    PROCESS_INFORMATION started{};
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + exe + L"\"";
    const UniqueHandle token(unelevated ? LimitedToken() : nullptr);
    const BOOL ok =
        unelevated ? CreateProcessAsUserW(token.get(), exe.c_str(), command.data(), nullptr,
                                          nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)
                   : CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                    nullptr, nullptr, &startup, &started);
    if (!ok) Fail(L"cannot start " + exe);
    return started;
}

// Form1's expected client size and place, worked out here from the rule rather than by the
// installer's code: the screen and the outer window measured in whole twips (halves to the
// even neighbour), left = screen width / 2 - window width / 2 and top = screen height / 3 -
// window height / 2 with truncating divisions, and back to pixels rounded the same way.
long long WholeTwips(long long pixels, int dpi) {
    return std::llrint(static_cast<double>(pixels) * 1440.0 / dpi);
}

long long WholePixels(long long twips, int dpi) {
    return std::llrint(static_cast<double>(twips) * dpi / 1440.0);
}

void ReportForm(HWND form) {
    RECT client{};
    GetClientRect(form, &client);
    RECT outer{};
    GetWindowRect(form, &outer);
    // The screen's dpi, as the installer reads it (one value for both directions).
    const int dpi = static_cast<int>(vorta::win32::DpiOf(nullptr));
    const long long left = WholeTwips(GetSystemMetrics(SM_CXSCREEN), dpi) / 2 -
                           WholeTwips(outer.right - outer.left, dpi) / 2;
    const long long top = WholeTwips(GetSystemMetrics(SM_CYSCREEN), dpi) / 3 -
                          WholeTwips(outer.bottom - outer.top, dpi) / 2;
    const bool topmost = (GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    Print(L"FORM client=" + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom) +
          L" expected=" + std::to_wstring(WholePixels(9585, dpi)) + L"x" +
          std::to_wstring(WholePixels(4830, dpi)) + L" pos=" + std::to_wstring(outer.left) + L"," +
          std::to_wstring(outer.top) + L" expected-pos=" + std::to_wstring(WholePixels(left, dpi)) +
          L"," + std::to_wstring(WholePixels(top, dpi)) + L" topmost=" + (topmost ? L"1" : L"0"));
    Print(L"FORM caption=" + TextOf(form));
}

// Every box the installer shows until it ends is reported and closed with OK.
void FinishRun(Installer& installer, HWND folder_dialog) {
    const DWORD start = GetTickCount();
    HWND last_box = nullptr;
    while (!Ended(installer)) {
        if (GetTickCount() - start > kEndTimeoutMs) Fail(L"installer did not end");
        HWND box = FindMessageBox(installer.info.dwProcessId, folder_dialog);
        if (box && box != last_box) {
            std::wstring text;
            for (HWND child : Children(box)) {
                if (WindowClassName(child) == L"Static" && !TextOf(child).empty())
                    text += TextOf(child);
            }
            Print(L"BOX title=" + TextOf(box));
            Print(L"BOX text=" + OneLine(text));
            last_box = box;
            Press(box, IDOK);
        }
        Sleep(50);
    }
    DWORD code = 0;
    GetExitCodeProcess(installer.process.get(), &code);
    Print(L"EXIT code=" + std::to_wstring(code));
}

HWND OpenFolderDialog(Installer& installer, HWND form) {
    PostMessageW(form, WM_COMMAND, MAKEWPARAM(kCommand1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(form, kCommand1)));
    HWND dialog = WaitFor(installer, kDialogTimeoutMs, L"the folder dialog",
                          [&] { return FindFolderDialog(installer.info.dwProcessId); });
    bool prompt = false;
    for (HWND child : Children(dialog)) {
        if (TextOf(child) == L"インストールするフォルダを選択してください") prompt = true;
    }
    HWND tree = ChildOfClass(dialog, WC_TREEVIEWW);
    WaitFor(installer, kDialogTimeoutMs, L"the folder tree", [&]() -> HWND {
        DWORD_PTR root = 0;
        SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &root);
        return root ? tree : nullptr;
    });
    Print(std::wstring(L"DIALOG prompt=") + (prompt ? L"1" : L"0"));
    return dialog;
}

// The label of the tree item selected in the dialog, read through memory in its process.
std::wstring SelectedLabel(Installer& installer, HWND tree, const RemoteMemory& remote) {
    DWORD_PTR selected = 0;
    SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                        &selected);
    if (!selected) return {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(selected);
    item.pszText = remote.get() + 2048;
    item.cchTextMax = 1024;
    WriteProcessMemory(installer.process.get(), remote.get() + 1024, &item, sizeof(item), nullptr);
    DWORD_PTR ok = 0;
    SendMessageTimeoutW(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.get() + 1024),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ok);
    std::string label(1024, '\0');
    ReadProcessMemory(installer.process.get(), remote.get() + 2048, label.data(), label.size(),
                      nullptr);
    label.resize(label.find('\0'));
    return AnsiToWide(label);
}

// Selects the folder in the dialog the way a program does: BFFM_SETSELECTIONA with a path
// written into the dialog's own process. The dialog may still be filling its tree when it
// first shows, so the request is repeated (bounded) until the expected label is selected.
// Returns the selected item's label.
std::wstring SelectFolder(Installer& installer, HWND dialog, const std::wstring& folder,
                          const std::wstring& expected_label) {
    HWND tree = ChildOfClass(dialog, WC_TREEVIEWW);
    RemoteMemory remote(installer.process.get(), 4096);
    if (!remote.get()) Fail(L"VirtualAllocEx failed");
    const std::string path = vorta::win32::WideToAnsi(folder) + '\0';
    if (path.size() > 1000) Fail(L"path too long");
    if (!WriteProcessMemory(installer.process.get(), remote.get(), path.data(), path.size(),
                            nullptr)) {
        Fail(L"WriteProcessMemory failed");
    }
    std::wstring label;
    const DWORD start = GetTickCount();
    do {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(dialog, BFFM_SETSELECTIONA, TRUE,
                            reinterpret_cast<LPARAM>(remote.get()), SMTO_ABORTIFHUNG,
                            kMessageTimeoutMs, &ignored);
        label = SelectedLabel(installer, tree, remote);
        if (label == expected_label) break;
        Sleep(100);
    } while (GetTickCount() - start < kDialogTimeoutMs && !Ended(installer));
    return label;
}

std::vector<PROCESSENTRY32W> Processes() {
    std::vector<PROCESSENTRY32W> processes;
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        processes.push_back(entry);
    }
    return processes;
}

// The viewer the guide opens in during "install": it reports the document, the program that
// started it (Explorer when the installer asked the desktop) and whether it runs elevated.
int Viewer(const std::wstring& report, const std::wstring& document) {
    const auto processes = Processes();
    DWORD parent_id = 0;
    for (const auto& process : processes) {
        if (process.th32ProcessID == GetCurrentProcessId()) parent_id = process.th32ParentProcessID;
    }
    std::wstring parent = L"?";  // the installer itself may have ended already
    for (const auto& process : processes) {
        if (process.th32ProcessID == parent_id) parent = process.szExeFile;
    }
    const std::wstring line = L"opened=" + document + L" parent=" + parent + L" elevated=" +
                              (ProcessElevated(GetCurrentProcess()) ? L"1" : L"0");
    const std::string bytes = ToUtf8(line);
    const UniqueHandle file(CreateFileW(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                             nullptr)
               ? 0
               : 1;
}

// The viewer is started before the installer's request to open the guide returns, so once
// the installer has ended the viewer is running or has written its report; it is waited for.
void ReportGuide(const GuideViewer& viewer) {
    const std::wstring name = FileNameOf(vorta::win32::ExePath());
    for (const auto& process : Processes()) {
        if (process.th32ProcessID == GetCurrentProcessId() ||
            lstrcmpiW(process.szExeFile, name.c_str()) != 0) {
            continue;
        }
        const UniqueHandle running(OpenProcess(SYNCHRONIZE, FALSE, process.th32ProcessID));
        if (running.get() &&
            WaitForSingleObject(running.get(), kViewerTimeoutMs) != WAIT_OBJECT_0) {
            Fail(L"the guide viewer did not end");
        }
    }
    const UniqueHandle file(CreateFileW(viewer.Report().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        Print(L"GUIDE none");
        return;
    }
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    Print(L"GUIDE " + FromUtf8(std::string_view(bytes.data(), read)));
}

int Resources(const std::wstring& exe) {
    const LoadedImage image(LoadLibraryExW(
        exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image.get()) Fail(L"cannot load " + exe);
    HRSRC manifest = FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (manifest) {
        const char* bytes =
            static_cast<const char*>(LockResource(LoadResource(image.get(), manifest)));
        std::string text(bytes, SizeofResource(image.get(), manifest));
        const auto at = text.find("<requestedExecutionLevel");
        Print(L"MANIFEST level=" + (at == std::string::npos
                                        ? std::wstring(L"none")
                                        : AnsiToWide(text.substr(at, text.find("/>", at) - at))));
    } else {
        Print(L"MANIFEST none");
    }
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bit_count;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
    };
#pragma pack(pop)
    HRSRC group = FindResourceW(image.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
    if (group) {
        const auto* header =
            static_cast<const GroupHeader*>(LockResource(LoadResource(image.get(), group)));
        const auto* entry = reinterpret_cast<const GroupEntry*>(header + 1);
        Print(L"ICON images=" + std::to_wstring(header->count) + L" size=" +
              std::to_wstring(entry->width) + L"x" + std::to_wstring(entry->height) + L" bits=" +
              std::to_wstring(entry->bit_count));
    }
    HRSRC banner = FindResourceW(image.get(), MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(2));
    if (banner) {
        const auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(image.get(), banner)));
        Print(L"BANNER size=" + std::to_wstring(info->biWidth) + L"x" +
              std::to_wstring(info->biHeight) + L" bits=" + std::to_wstring(info->biBitCount) +
              L" compression=" + std::to_wstring(info->biCompression) + L" ppm=" +
              std::to_wstring(info->biXPelsPerMeter) + L"x" +
              std::to_wstring(info->biYPelsPerMeter));
    }
    return 0;
}

}  // namespace

int main() {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 3) {
        Print(
            L"usage: installer_driver "
            L"close|closebox|install|install-unelevated|cancel|resources|show <exe> [folder]");
        return 1;
    }
    const std::wstring command = args[1];
    const std::wstring exe = args[2];
    if (command == L"resources") return Resources(exe);
    if (command == L"viewer" && count >= 4) return Viewer(args[2], args[3]);

    const bool installs = command == L"install" || command == L"install-unelevated";
    std::optional<GuideViewer> viewer;
    if (installs) {
        viewer.emplace();
        g_guide_viewer = &*viewer;
        if (!viewer->Registered()) Fail(L"cannot register the guide viewer for .pdf");
    }
    Installer installer(Start(exe, command == L"install-unelevated"));
    g_installer_process = installer.process.get();
    Print(std::wstring(L"INSTALLER elevated=") +
          (ProcessElevated(installer.process.get()) ? L"1" : L"0"));
    HWND form = WaitForForm(installer);
    ReportForm(form);
    if (command == L"show" && count >= 4) {
        RECT outer{};
        GetWindowRect(form, &outer);
        Print(L"GEOMETRY " + std::to_wstring(outer.left) + L" " + std::to_wstring(outer.top) +
              L" " + std::to_wstring(outer.right - outer.left) + L" " +
              std::to_wstring(outer.bottom - outer.top));
        Sleep(static_cast<DWORD>(std::min(_wtoi(args[3]), 30000)));
    }
    HWND dialog = nullptr;  // the folder dialog, once open
    if (command == L"close" || command == L"show") {
        PostMessageW(form, WM_COMMAND, MAKEWPARAM(kCommand2, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(form, kCommand2)));
    } else if (command == L"closebox") {
        PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (command == L"cancel") {
        dialog = OpenFolderDialog(installer, form);
        Press(dialog, IDCANCEL);
    } else if (installs && count >= 4) {
        dialog = OpenFolderDialog(installer, form);
        const std::wstring folder = args[3];
        // The label the tree shows for it: the last path component unless given (a drive).
        const std::wstring last =
            count >= 5 ? args[4] : folder.substr(folder.find_last_of(L'\\') + 1);
        const std::wstring selected = SelectFolder(installer, dialog, folder, last);
        Print(L"DIALOG selected=" + selected);
        // Confirm only when the dialog shows the folder asked for: never install elsewhere.
        if (selected != last) {
            Press(dialog, IDCANCEL);
            FinishRun(installer, dialog);
            Fail(L"the dialog did not select " + folder);
        }
        Press(dialog, IDOK);
    } else {
        TerminateProcess(installer.process.get(), 1);
        Fail(L"unknown command " + command);
    }
    FinishRun(installer, dialog);
    if (viewer) {
        viewer->Restore();
        ReportGuide(*viewer);
    }
    LocalFree(args);
    return 0;
}
