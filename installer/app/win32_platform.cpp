#include "installer/app/win32_platform.h"

// clang-format off
#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
// clang-format on

#include <atomic>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "installer/app/ansi.h"
#include "installer/app/form1.h"
#include "installer/app/module1.h"
#include "installer/app/raii.h"

namespace vortasetup {
namespace {

constexpr char kTitle[] = "vortasetup";

// The system's text for an error code, without its trailing line break.
std::wstring SystemText(DWORD code) {
    char buffer[1024] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof(buffer), nullptr);
    std::wstring text = FromAnsi(std::string_view(buffer, length));
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

StepError Win32Error(DWORD code) {
    return StepError{StepError::Kind::Win32, code, SystemText(code)};
}

StepError ComError(HRESULT result) {
    const auto code = static_cast<std::uint32_t>(result);
    return StepError{StepError::Kind::Com, code, SystemText(code)};
}

// Opens a document through this process's own "Shell.Application": its method "ShellExecute"
// called by name, with the document's path as the only argument.
StepResult OpenWithShellObject(const std::wstring& path) {
    CLSID shell_class{};
    HRESULT result = CLSIDFromProgID(L"Shell.Application", &shell_class);
    if (FAILED(result)) return ComError(result);
    ComRef<IDispatch> shell;
    result = CoCreateInstance(shell_class, nullptr, CLSCTX_ALL, IID_IDispatch, shell.out());
    if (FAILED(result)) return ComError(result);

    // Late bound, by name, with the document's path as the only argument.
    std::wstring method = L"ShellExecute";
    LPOLESTR names[] = {method.data()};
    DISPID id = 0;
    result = shell->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) return ComError(result);

    Variant argument;
    argument.get()->vt = VT_BSTR;
    argument.get()->bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
    if (!argument.get()->bstrVal) return ComError(E_OUTOFMEMORY);
    DISPPARAMS parameters{argument.get(), nullptr, 1, 0};
    Variant answer;
    ExceptionInfo exception;
    UINT bad_argument = 0;
    result = shell->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                           answer.get(), exception.get(), &bad_argument);
    if (result == DISP_E_EXCEPTION) {
        EXCEPINFO* info = exception.get();
        if (info->pfnDeferredFillIn) info->pfnDeferredFillIn(info);
        StepError error = ComError(info->scode ? info->scode : result);
        if (info->bstrDescription) error.description = info->bstrDescription;
        return error;
    }
    if (FAILED(result)) return ComError(result);
    return std::nullopt;
}

// --- Opening the guide with the user's own rights --------------------------------------
//
// The manifest asks for the highest available rights, so for an administrator the installer
// runs elevated, and a viewer it starts itself would run elevated too. Explorer, which runs
// the desktop, has the logged-in user's own rights: an elevated installer asks it to open
// the guide instead, through the "Shell.Application" object behind the desktop's folder view.

// How long the window waits for the desktop's Explorer. It answers within moments; one that
// does not is hung, and the installer stops waiting rather than hang with it.
constexpr DWORD kDesktopShellBoundMs = 15000;

bool RunningElevated() {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

// One request to the desktop's Explorer. The window's thread hands it to a thread of its own,
// which may still be inside a call to Explorer when the window stops waiting; so the request
// is shared, and its stage decides who acts: the thread asks Explorer to open the document
// only while the window still waits, and the window opens it itself only if the thread never
// asked.
struct DesktopRequest {
    enum Stage : int { kPreparing, kOpening, kAbandoned };

    explicit DesktopRequest(std::wstring document)
        : path(std::move(document)), done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

    const std::wstring path;
    const KernelHandle done;  // set by the thread when it has finished
    std::atomic<int> stage{kPreparing};
    HRESULT result = E_FAIL;  // written by the thread before done is set
};

// The desktop's "Shell.Application": the desktop window among the shell windows, its top-level
// browser, the active view (the desktop's own folder view), the automation object of that
// view's background, and the application behind it.
HRESULT DesktopShellApplication(ComRef<IShellDispatch2>& application) {
    ComRef<IShellWindows> windows;
    HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                      IID_IShellWindows, windows.out());
    if (FAILED(result)) return result;
    Variant location;
    location.get()->vt = VT_I4;
    location.get()->lVal = CSIDL_DESKTOP;
    Variant root;
    long window = 0;
    ComRef<IDispatch> desktop;
    result = windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &window,
                                   SWFO_NEEDDISPATCH, desktop.put());
    if (FAILED(result)) return result;
    if (!desktop.get()) return E_NOINTERFACE;  // S_FALSE: no desktop window

    ComRef<IServiceProvider> services;
    result = desktop->QueryInterface(IID_IServiceProvider, services.out());
    if (FAILED(result)) return result;
    ComRef<IShellBrowser> browser;
    result = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.out());
    if (FAILED(result)) return result;
    ComRef<IShellView> view;
    result = browser->QueryActiveShellView(view.put());
    if (FAILED(result)) return result;
    if (!view.get()) return E_NOINTERFACE;
    ComRef<IDispatch> background;
    result = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.out());
    if (FAILED(result)) return result;
    ComRef<IShellFolderViewDual> folder_view;
    result = background->QueryInterface(IID_IShellFolderViewDual, folder_view.out());
    if (FAILED(result)) return result;
    ComRef<IDispatch> dispatch;
    result = folder_view->get_Application(dispatch.put());
    if (FAILED(result)) return result;
    if (!dispatch.get()) return E_NOINTERFACE;
    return dispatch->QueryInterface(IID_IShellDispatch2, application.out());
}

HRESULT OpenThroughDesktop(DesktopRequest& request) {
    ComRef<IShellDispatch2> application;
    HRESULT result = DesktopShellApplication(application);
    if (FAILED(result)) return result;
    const Bstr file(request.path);
    if (!file.get()) return E_OUTOFMEMORY;
    // The user just closed the completion box, so the installer may bring a window to the
    // front; Explorer may then do so for the viewer it starts.
    CoAllowSetForegroundWindow(application.get(), nullptr);

    int expected = DesktopRequest::kPreparing;
    if (!request.stage.compare_exchange_strong(expected, DesktopRequest::kOpening)) {
        return E_ABORT;  // the window has stopped waiting and opens the guide itself
    }
    // The same call as the late-bound one: the document's path only, the arguments,
    // directory, verb and show mode omitted.
    VARIANT omitted;
    VariantInit(&omitted);
    omitted.vt = VT_ERROR;
    omitted.scode = DISP_E_PARAMNOTFOUND;
    return application->ShellExecute(file.get(), omitted, omitted, omitted, omitted);
}

void DesktopThread(std::shared_ptr<DesktopRequest> request) {
    {
        const ComApartment apartment(COINIT_MULTITHREADED);
        request->result = OpenThroughDesktop(*request);
    }
    SetEvent(request->done.get());
}

// Waits up to bound_ms for the handle, letting the window repaint meanwhile (its clicks are
// ignored while it installs). True when the handle was set.
bool WaitProcessingEvents(HANDLE handle, DWORD bound_ms) {
    const ULONGLONG deadline = GetTickCount64() + bound_ms;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        const DWORD woken = MsgWaitForMultipleObjects(
            1, &handle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;  // the time is up, or the wait failed
        ProcessPendingForm1Events();
    }
}

enum class DesktopOutcome {
    Opened,        // Explorer has opened the guide
    NotOpened,     // Explorer could not be asked, or could not open it
    StillOpening,  // Explorer was asked and has not answered within the bound
};

DesktopOutcome OpenOnDesktop(const std::wstring& path) {
    auto request = std::make_shared<DesktopRequest>(path);
    if (!request->done.get()) return DesktopOutcome::NotOpened;
    try {
        std::thread(DesktopThread, request).detach();
    } catch (const std::system_error&) {
        return DesktopOutcome::NotOpened;
    }
    if (!WaitProcessingEvents(request->done.get(), kDesktopShellBoundMs)) {
        int expected = DesktopRequest::kPreparing;
        if (request->stage.compare_exchange_strong(expected, DesktopRequest::kAbandoned)) {
            return DesktopOutcome::NotOpened;  // Explorer was never asked
        }
        if (WaitForSingleObject(request->done.get(), 0) != WAIT_OBJECT_0) {
            return DesktopOutcome::StillOpening;
        }
    }
    return SUCCEEDED(request->result) ? DesktopOutcome::Opened : DesktopOutcome::NotOpened;
}

}  // namespace

std::wstring Win32InstallPlatform::PickInstallFolder() {
    return vortasetup::PickInstallFolder();
}

std::wstring Win32InstallPlatform::InstallerFolder() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    // Cut on the Unicode text: in code page 932 a backslash byte can be a trail byte.
    std::wstring folder = FromAnsi(buffer);
    const auto last = folder.rfind(L'\\');
    if (last == std::wstring::npos) return folder;
    folder.resize(last);
    if (!folder.empty() && folder.back() == L':') folder += L'\\';  // a drive root keeps it
    return folder;
}

StepResult Win32InstallPlatform::CopyToFile(const std::wstring& source,
                                            const std::wstring& target) {
    const std::string from = ToAnsi(source);
    const std::string to = ToAnsi(target);
    if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return std::nullopt;
    return Win32Error(GetLastError());
}

// Both names are in the destination folder, so this is a rename on one volume: the file
// appears under its name complete, or not at all. It is never turned into a copy.
StepResult Win32InstallPlatform::RenameOver(const std::wstring& from, const std::wstring& to) {
    const std::string old_name = ToAnsi(from);
    const std::string new_name = ToAnsi(to);
    if (MoveFileExA(old_name.c_str(), new_name.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return std::nullopt;
    }
    return Win32Error(GetLastError());
}

// A copy keeps its source's attributes, so the temporary of a read-only source is read-only.
void Win32InstallPlatform::RemoveFile(const std::wstring& path) {
    const std::string name = ToAnsi(path);
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(name.c_str());
}

void Win32InstallPlatform::ProcessPendingEvents() {
    ProcessPendingForm1Events();
}

void Win32InstallPlatform::ShowMessage(const std::wstring& text) {
    const std::string ansi = ToAnsi(text);
    MessageBoxA(Form1Handle(), ansi.c_str(), kTitle, MB_OK);
}

StepResult Win32InstallPlatform::OpenDocument(const std::wstring& path) {
    if (RunningElevated()) {
        switch (OpenOnDesktop(path)) {
            case DesktopOutcome::Opened:
                return std::nullopt;
            case DesktopOutcome::StillOpening:
                // Explorer may yet open it: a second, elevated viewer is not started.
                return ComError(HRESULT_FROM_WIN32(ERROR_TIMEOUT));
            case DesktopOutcome::NotOpened:
                // No desktop Explorer to ask (another shell, Explorer restarting, the
                // desktop of another user) or it could not open the guide: fall back to
                // opening it here, as when not elevated. The viewer then runs elevated.
                break;
        }
    }
    return OpenWithShellObject(path);
}

}  // namespace vortasetup
