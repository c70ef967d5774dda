#include "installer/app/win32_platform.h"

#include <windows.h>

#include <string>

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

StepResult Win32InstallPlatform::CopyOneFile(const std::wstring& source,
                                             const std::wstring& destination) {
    const std::string from = ToAnsi(source);
    const std::string to = ToAnsi(destination);
    if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return std::nullopt;
    return Win32Error(GetLastError());
}

void Win32InstallPlatform::ProcessPendingEvents() {
    ProcessPendingForm1Events();
}

void Win32InstallPlatform::ShowMessage(const std::wstring& text) {
    const std::string ansi = ToAnsi(text);
    MessageBoxA(Form1Handle(), ansi.c_str(), kTitle, MB_OK);
}

StepResult Win32InstallPlatform::OpenDocument(const std::wstring& path) {
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

}  // namespace vortasetup
