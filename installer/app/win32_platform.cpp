#include "installer/app/win32_platform.h"

// clang-format off
#include "common/win32/win.h"
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
// clang-format on

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "common/win32/ansi.h"
#include "common/win32/elevation.h"
#include "common/win32/system.h"
#include "common/win32/unique.h"
#include "installer/app/automation.h"
#include "installer/app/folder_dialog.h"

namespace vorta::setup {
namespace {

using vorta::win32::ComRef;
using vorta::win32::OutPointer;
using vorta::win32::WideToAnsi;

constexpr char kTitle[] = "vortasetup";

StepError Win32Error(DWORD code) {
    return StepError{StepError::Kind::kWin32, code, vorta::win32::SystemErrorText(code)};
}

StepError ComError(HRESULT result) {
    const auto code = static_cast<std::uint32_t>(result);
    return StepError{StepError::Kind::kCom, code, vorta::win32::SystemErrorText(code)};
}

// Opens a document through this process's own "Shell.Application": its method "ShellExecute"
// called by name, with the document's path as the only argument.
StepResult OpenWithShellObject(const std::wstring& path) {
    CLSID shellClass{};
    HRESULT result = CLSIDFromProgID(L"Shell.Application", &shellClass);
    if (FAILED(result)) return ComError(result);
    ComRef<IDispatch> shell;
    result = CoCreateInstance(shellClass, nullptr, CLSCTX_ALL, IID_IDispatch, OutPointer(shell));
    if (FAILED(result)) return ComError(result);

    // Late bound, by name, with the document's path as the only argument.
    std::wstring method = L"ShellExecute";
    LPOLESTR names[] = {method.data()};
    DISPID id = 0;
    result = shell.get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) return ComError(result);

    Variant argument;
    argument.get()->vt = VT_BSTR;
    argument.get()->bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
    if (!argument.get()->bstrVal) return ComError(E_OUTOFMEMORY);
    DISPPARAMS parameters{argument.get(), nullptr, 1, 0};
    Variant answer;
    ExceptionInfo exception;
    UINT badArgument = 0;
    result = shell.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                 answer.get(), exception.get(), &badArgument);
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
    const vorta::win32::UniqueHandle done;  // set by the thread when it has finished
    std::atomic<int> stage{kPreparing};
    HRESULT result = E_FAIL;  // written by the thread before done is set
};

// The desktop's "Shell.Application": the desktop window among the shell windows, its top-level
// browser, the active view (the desktop's own folder view), the automation object of that
// view's background, and the application behind it.
HRESULT DesktopShellApplication(ComRef<IShellDispatch2>& application) {
    ComRef<IShellWindows> windows;
    HRESULT result = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                      IID_IShellWindows, OutPointer(windows));
    if (FAILED(result)) return result;
    Variant location;
    location.get()->vt = VT_I4;
    location.get()->lVal = CSIDL_DESKTOP;
    Variant root;
    long window = 0;
    ComRef<IDispatch> desktop;
    result = windows.get()->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &window,
                                         SWFO_NEEDDISPATCH, desktop.put());
    if (FAILED(result)) return result;
    if (!desktop.get()) return E_NOINTERFACE;  // S_FALSE: no desktop window

    ComRef<IServiceProvider> services;
    result = desktop.get()->QueryInterface(IID_IServiceProvider, OutPointer(services));
    if (FAILED(result)) return result;
    ComRef<IShellBrowser> browser;
    result =
        services.get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, OutPointer(browser));
    if (FAILED(result)) return result;
    ComRef<IShellView> view;
    result = browser.get()->QueryActiveShellView(view.put());
    if (FAILED(result)) return result;
    if (!view.get()) return E_NOINTERFACE;
    ComRef<IDispatch> background;
    result = view.get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, OutPointer(background));
    if (FAILED(result)) return result;
    ComRef<IShellFolderViewDual> folderView;
    result = background.get()->QueryInterface(IID_IShellFolderViewDual, OutPointer(folderView));
    if (FAILED(result)) return result;
    ComRef<IDispatch> dispatch;
    result = folderView.get()->get_Application(dispatch.put());
    if (FAILED(result)) return result;
    if (!dispatch.get()) return E_NOINTERFACE;
    return dispatch.get()->QueryInterface(IID_IShellDispatch2, OutPointer(application));
}

HRESULT OpenThroughDesktop(DesktopRequest& request) {
    ComRef<IShellDispatch2> application;
    HRESULT result = DesktopShellApplication(application);
    if (FAILED(result)) return result;
    const vorta::win32::Bstr file(
        SysAllocStringLen(request.path.data(), static_cast<UINT>(request.path.size())));
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
    return application.get()->ShellExecute(file.get(), omitted, omitted, omitted, omitted);
}

void DesktopThread(std::shared_ptr<DesktopRequest> request) {
    {
        const auto apartment = vorta::win32::InitialiseCom(COINIT_MULTITHREADED);
        request->result = OpenThroughDesktop(*request);
    }
    SetEvent(request->done.get());
}

// Waits up to boundMs for the handle, letting the window repaint meanwhile (its clicks are
// ignored while it installs). True when the handle was set.
bool WaitProcessingEvents(HANDLE handle, DWORD boundMs,
                          const std::function<void()>& processPendingEvents) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        const DWORD woken = MsgWaitForMultipleObjects(
            1, &handle, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return true;
        if (woken != WAIT_OBJECT_0 + 1) return false;  // the time is up, or the wait failed
        processPendingEvents();
    }
}

enum class DesktopOutcome {
    kOpened,        // Explorer has opened the guide
    kNotOpened,     // Explorer could not be asked, or could not open it
    kStillOpening,  // Explorer was asked and has not answered within the bound
};

DesktopOutcome OpenOnDesktop(const std::wstring& path,
                             const std::function<void()>& processPendingEvents) {
    auto request = std::make_shared<DesktopRequest>(path);
    if (!request->done.get()) return DesktopOutcome::kNotOpened;
    try {
        std::thread(DesktopThread, request).detach();
    } catch (const std::system_error&) {
        return DesktopOutcome::kNotOpened;
    }
    if (!WaitProcessingEvents(request->done.get(), kDesktopShellBoundMs, processPendingEvents)) {
        int expected = DesktopRequest::kPreparing;
        if (request->stage.compare_exchange_strong(expected, DesktopRequest::kAbandoned)) {
            return DesktopOutcome::kNotOpened;  // Explorer was never asked
        }
        if (WaitForSingleObject(request->done.get(), 0) != WAIT_OBJECT_0) {
            return DesktopOutcome::kStillOpening;
        }
    }
    return SUCCEEDED(request->result) ? DesktopOutcome::kOpened : DesktopOutcome::kNotOpened;
}

}  // namespace

Win32InstallPlatform::Win32InstallPlatform(const vorta::win32::Window& owner,
                                           std::function<void()> processPendingEvents)
    : owner_(owner), processPendingEvents_(std::move(processPendingEvents)) {}

std::wstring Win32InstallPlatform::PickInstallFolder() {
    return vorta::setup::PickInstallFolder(owner_.hwnd());
}

// Taken as Unicode text and cut there: in code page 932 a backslash byte can be a trail byte.
std::wstring Win32InstallPlatform::InstallerFolder() {
    return vorta::win32::ExeFolder();
}

StepResult Win32InstallPlatform::CopyToFile(const std::wstring& source,
                                            const std::wstring& target) {
    const std::string from = WideToAnsi(source);
    const std::string to = WideToAnsi(target);
    if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return std::nullopt;
    return Win32Error(GetLastError());
}

// Both names are in the destination folder, so this is a rename on one volume: the file
// appears under its name complete, or not at all. It is never turned into a copy.
StepResult Win32InstallPlatform::RenameOver(const std::wstring& from, const std::wstring& to) {
    const std::string oldName = WideToAnsi(from);
    const std::string newName = WideToAnsi(to);
    if (MoveFileExA(oldName.c_str(), newName.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return std::nullopt;
    }
    return Win32Error(GetLastError());
}

// A copy keeps its source's attributes, so the temporary of a read-only source is read-only.
void Win32InstallPlatform::RemoveFile(const std::wstring& path) {
    const std::string name = WideToAnsi(path);
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(name.c_str());
}

void Win32InstallPlatform::ProcessPendingEvents() {
    processPendingEvents_();
}

void Win32InstallPlatform::ShowMessage(const std::wstring& text) {
    const std::string ansi = WideToAnsi(text);
    MessageBoxA(owner_.hwnd(), ansi.c_str(), kTitle, MB_OK);
}

StepResult Win32InstallPlatform::OpenDocument(const std::wstring& path) {
    if (vorta::win32::ProcessElevated(GetCurrentProcess())) {
        switch (OpenOnDesktop(path, processPendingEvents_)) {
            case DesktopOutcome::kOpened:
                return std::nullopt;
            case DesktopOutcome::kStillOpening:
                // Explorer may yet open it: a second, elevated viewer is not started.
                return ComError(HRESULT_FROM_WIN32(ERROR_TIMEOUT));
            case DesktopOutcome::kNotOpened:
                // No desktop Explorer to ask (another shell, Explorer restarting, the
                // desktop of another user) or it could not open the guide: fall back to
                // opening it here, as when not elevated. The viewer then runs elevated.
                break;
        }
    }
    return OpenWithShellObject(path);
}

}  // namespace vorta::setup
