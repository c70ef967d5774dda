#include "launcher/win32/win32_platform.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

#include "common/win32/ansi.h"
#include "common/win32/elevation.h"
#include "common/win32/message_loop.h"
#include "common/win32/system.h"
#include "common/win32/unique.h"
#include "launcher/win32/bounded_send.h"

namespace vorta::win32 {

namespace {

// At most this many pending messages are handled by one DoEvents, so a window that
// keeps posting to itself cannot hold the caller forever.
constexpr int kDoEventsMessageBound = 4096;
// The profile reader's buffer: values of at most 254 characters.
constexpr DWORD kProfileBuffer = 255;
constexpr wchar_t kClipboardOwnerClass[] = L"VortaClipboardOwner";

// The integrity level of a process token (its mandatory label's last RID), and whether
// it is elevated; nothing when the token cannot be read. `denied` tells whether the
// system refused us the token (ERROR_ACCESS_DENIED).
struct TokenRights {
    DWORD integrity = 0;
    bool elevated = false;
};

std::optional<TokenRights> RightsOf(HANDLE process, bool* denied = nullptr) {
    UniqueHandle token;
    if (!::OpenProcessToken(process, TOKEN_QUERY, token.put())) {
        if (denied != nullptr) *denied = ::GetLastError() == ERROR_ACCESS_DENIED;
        return std::nullopt;
    }
    TokenRights rights;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::string label(size, '\0');
    if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, label.data(), size, &size))
        return std::nullopt;
    const auto* mandatory = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data());
    const PUCHAR count = ::GetSidSubAuthorityCount(mandatory->Label.Sid);
    if (count == nullptr || *count == 0) return std::nullopt;
    rights.integrity = *::GetSidSubAuthority(mandatory->Label.Sid, *count - 1);
    rights.elevated = ProcessElevated(process);
    return rights;
}

RECT ToRECT(const Rect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}
Rect FromRECT(const RECT& rect) {
    return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

// The enumeration callbacks run synchronously on this thread; an exception from the
// caller's function is held here and thrown again once the enumeration has returned,
// never across the system's frames.
struct EnumContext {
    const std::function<bool(Hwnd)>* callback;
    std::exception_ptr error;
};

BOOL CALLBACK EnumTrampoline(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<EnumContext*>(param);
    try {
        return (*context->callback)(FromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        context->error = std::current_exception();
        return FALSE;
    }
}

// The executable name field is taken whole; it is cleared before every step of the
// walk so its unused tail holds zeros and never the rest of a longer earlier name.
void PrepareProcessEntry(PROCESSENTRY32& entry) {
    entry.dwSize = sizeof(PROCESSENTRY32);
    std::memset(entry.szExeFile, 0, sizeof(entry.szExeFile));
}

}  // namespace

std::string Win32Platform::ToAnsi(std::wstring_view text) const {
    return WideToAnsi(text);
}

std::wstring Win32Platform::FromAnsi(std::string_view bytes) const {
    return AnsiToWide(bytes);
}

bool Win32Platform::IsLeadByte(unsigned char byte) const {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

std::wstring Win32Platform::ApplicationPath() {
    return ExeFolder();
}

std::optional<std::string> Win32Platform::ReadFileHead(const std::wstring& path,
                                                       std::size_t maxBytes) {
    UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string content;
    char chunk[4096];
    while (content.size() < maxBytes) {
        const DWORD want = static_cast<DWORD>(std::min(sizeof(chunk), maxBytes - content.size()));
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk, want, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        content.append(chunk, read);
    }
    return content;
}

std::string Win32Platform::ReadProfileString(const std::wstring& section, const std::wstring& key,
                                             const std::wstring& defaultValue,
                                             const std::wstring& fileName) {
    wchar_t buffer[kProfileBuffer] = {};
    const DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                               buffer, kProfileBuffer, fileName.c_str());
    return WideToAnsi(std::wstring_view(buffer, std::min<DWORD>(n, kProfileBuffer - 1)));
}

std::vector<ProcessEntry> Win32Platform::SnapshotProcesses() {
    std::vector<ProcessEntry> entries;
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return entries;
    PROCESSENTRY32 entry{};
    PrepareProcessEntry(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        entries.push_back(ProcessEntry{
            static_cast<std::uint32_t>(entry.th32ProcessID),
            std::string(entry.szExeFile, sizeof(entry.szExeFile)),
        });
        PrepareProcessEntry(entry);
    }
    return entries;
}

std::vector<ThreadEntry> Win32Platform::SnapshotThreads() {
    std::vector<ThreadEntry> entries;
    UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return entries;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(THREADENTRY32);
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more;
         more = ::Thread32Next(snapshot.get(), &entry)) {
        entries.push_back(ThreadEntry{static_cast<std::uint32_t>(entry.th32ThreadID),
                                      static_cast<std::uint32_t>(entry.th32OwnerProcessID)});
        entry.dwSize = sizeof(THREADENTRY32);
    }
    return entries;
}

void Win32Platform::EnumThreadWindows(std::uint32_t threadId,
                                      const std::function<bool(Hwnd)>& onWindow) {
    EnumContext context{&onWindow, nullptr};
    ::EnumThreadWindows(threadId, EnumTrampoline, reinterpret_cast<LPARAM>(&context));
    if (context.error) std::rethrow_exception(context.error);
}

void Win32Platform::EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& onChild) {
    EnumContext context{&onChild, nullptr};
    ::EnumChildWindows(ToHwnd(parent), EnumTrampoline, reinterpret_cast<LPARAM>(&context));
    if (context.error) std::rethrow_exception(context.error);
}

std::int32_t Win32Platform::GetWindowTextLengthA(Hwnd window) {
    return ::GetWindowTextLengthA(ToHwnd(window));
}

std::string Win32Platform::GetWindowTextA(Hwnd window, std::int32_t bufferSize) {
    if (bufferSize <= 0) return {};
    std::string buffer(static_cast<std::size_t>(bufferSize), '\0');
    ::GetWindowTextA(ToHwnd(window), buffer.data(), bufferSize);
    return buffer;
}

bool Win32Platform::GetCursorPos(Point& out) {
    POINT point{};
    const BOOL ok = ::GetCursorPos(&point);
    out = Point{point.x, point.y};
    return ok != FALSE;
}

bool Win32Platform::SetCursorPos(std::int32_t x, std::int32_t y) {
    return ::SetCursorPos(x, y) != FALSE;
}

bool Win32Platform::GetClipCursor(Rect& out) {
    RECT rect{};
    const BOOL ok = ::GetClipCursor(&rect);
    out = FromRECT(rect);
    return ok != FALSE;
}

bool Win32Platform::ClipCursor(const Rect& rect) {
    const RECT clip = ToRECT(rect);
    return ::ClipCursor(&clip) != FALSE;
}

bool Win32Platform::IsWindowResponding(Hwnd window, std::uint32_t timeoutMs) {
    return SendBounded(NewSendJob(window, WM_NULL, 0, timeoutMs));
}

bool Win32Platform::IsWindow(Hwnd window) {
    return window != 0 && ::IsWindow(ToHwnd(window)) != FALSE;
}

bool Win32Platform::IsWindowVisible(Hwnd window) {
    return window != 0 && ::IsWindowVisible(ToHwnd(window)) != FALSE;
}

WindowOwner Win32Platform::GetWindowThreadProcessId(Hwnd window) {
    if (window == 0) return {};
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(ToHwnd(window), &process);
    if (thread == 0) return {};
    return {static_cast<std::uint32_t>(process), static_cast<std::uint32_t>(thread)};
}

Hwnd Win32Platform::GetRootWindow(Hwnd window) {
    return window == 0 ? 0 : FromHwnd(::GetAncestor(ToHwnd(window), GA_ROOT));
}

bool Win32Platform::IsChild(Hwnd parent, Hwnd window) {
    return parent != 0 && window != 0 && ::IsChild(ToHwnd(parent), ToHwnd(window)) != FALSE;
}

Hwnd Win32Platform::GetForegroundWindow() {
    return FromHwnd(::GetForegroundWindow());
}

Hwnd Win32Platform::GetFocusOfThread(std::uint32_t threadId) {
    if (threadId == 0) return 0;
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetGUIThreadInfo(threadId, &info)) return 0;
    return FromHwnd(info.hwndFocus);
}

Hwnd Win32Platform::WindowFromPoint(Point point) {
    return FromHwnd(::WindowFromPoint(POINT{point.x, point.y}));
}

// A process or token the system does not let us open belongs to an elevated program or
// to another account: our input would be dropped on its way there as well.
ProcessRights Win32Platform::CompareProcessRights(std::uint32_t processId) {
    if (processId == 0) return ProcessRights::kUnknown;
    UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId)));
    if (!process)
        return ::GetLastError() == ERROR_ACCESS_DENIED ? ProcessRights::kHigher
                                                       : ProcessRights::kUnknown;
    bool denied = false;
    const std::optional<TokenRights> theirs = RightsOf(process.get(), &denied);
    if (!theirs && denied) return ProcessRights::kHigher;
    const std::optional<TokenRights> ours = RightsOf(::GetCurrentProcess());
    if (!theirs || !ours) return ProcessRights::kUnknown;
    if (theirs->integrity > ours->integrity || (theirs->elevated && !ours->elevated))
        return ProcessRights::kHigher;
    return ProcessRights::kNotHigher;
}

bool Win32Platform::IsIconic(Hwnd window) {
    return ::IsIconic(ToHwnd(window)) != FALSE;
}

bool Win32Platform::OpenIcon(Hwnd window) {
    return ::OpenIcon(ToHwnd(window)) != FALSE;
}

bool Win32Platform::SetForegroundWindow(Hwnd window) {
    return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32Platform::GetWindowRect(Hwnd window, Rect& out) {
    RECT rect{};
    const BOOL ok = ::GetWindowRect(ToHwnd(window), &rect);
    out = FromRECT(rect);
    return ok != FALSE;
}

bool Win32Platform::SetWindowPos(Hwnd window, std::int32_t insertAfter, std::int32_t x,
                                 std::int32_t y, std::int32_t cx, std::int32_t cy,
                                 std::uint32_t flags) {
    // -1 and -2 are HWND_TOPMOST and HWND_NOTOPMOST, 0 and 1 HWND_TOP and HWND_BOTTOM;
    // any other value is a window handle.
    const HWND after = reinterpret_cast<HWND>(static_cast<std::intptr_t>(insertAfter));
    return ::SetWindowPos(ToHwnd(window), after, x, y, cx, cy, flags) != FALSE;
}

void Win32Platform::MouseEvent(std::uint32_t flags) {
    ::mouse_event(flags, 0, 0, 0, 0);
}

std::uint32_t Win32Platform::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    return ::MapVirtualKeyA(code, mapType);
}

std::uint32_t Win32Platform::SendInput(const KeyboardInput& input, std::int32_t cbSize) {
    INPUT record{};
    record.type = INPUT_KEYBOARD;
    record.ki.wVk = input.wVk;
    record.ki.wScan = input.wScan;
    record.ki.dwFlags = input.dwFlags;
    record.ki.time = input.time;
    record.ki.dwExtraInfo = static_cast<ULONG_PTR>(input.dwExtraInfo);
    return ::SendInput(1, &record, cbSize);
}

// A pause that keeps answering what other programs send us: while our text is on offer,
// a clipboard reader's request (WM_RENDERFORMAT, sent by the system on its behalf) is
// answered at once rather than after the pause, so the reader never holds the clipboard
// open waiting for us. Posted messages stay queued for DoEvents.
void Win32Platform::Sleep(std::uint32_t milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        const DWORD wait =
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_SENDMESSAGE);
        if (wait == WAIT_TIMEOUT) return;
        if (wait != WAIT_OBJECT_0) {
            ::Sleep(milliseconds - elapsed);
            return;
        }
        MSG pending{};
        ::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

std::uint32_t Win32Platform::TickCount() {
    return ::GetTickCount();
}

void Win32Platform::DoEvents() {
    ProcessPendingMessages({}, kDoEventsMessageBound);
}

// The clipboard is opened with a hidden window of ours as the owner: with no owner,
// EmptyClipboard leaves the clipboard without one and SetClipboardData may then fail.
HWND Win32Platform::ClipboardOwnerWindow::Open() {
    if (!IsOpen()) {
        const WindowClass windowClass{kClipboardOwnerClass, nullptr, nullptr, nullptr};
        Create(::GetModuleHandleW(nullptr), windowClass, 0, L"", WS_POPUP, 0, 0, 0, 0, nullptr);
    }
    return hwnd();
}

LRESULT Win32Platform::ClipboardOwnerWindow::HandleMessage(UINT message, WPARAM wParam,
                                                           LPARAM lParam) {
    switch (message) {
        case WM_RENDERFORMAT:
            if (wParam == CF_TEXT) platform_.RenderOffered();
            return 0;
        case WM_RENDERALLFORMATS:
            return 0;  // text that was never taken is not left behind
        case WM_DESTROYCLIPBOARD:
            platform_.offered_.clear();
            platform_.offeredTo_ = 0;
            return 0;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

// Called while the reader holds the clipboard open: the text goes to the process it was
// offered to, or to a reader that opened the clipboard without a window (it cannot be
// told apart); anyone else gets nothing and the text stays on offer.
void Win32Platform::RenderOffered() {
    if (offeredTo_ == 0) return;
    if (HWND opener = ::GetOpenClipboardWindow()) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(opener, &process);
        if (process != offeredTo_) return;
    }
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, offered_.size() + 1));
    if (!memory) return;
    {
        const GlobalLocked lock = LockGlobal(memory.get());
        if (!lock) return;
        char* bytes = static_cast<char*>(lock.get());
        std::memcpy(bytes, offered_.data(), offered_.size());
        bytes[offered_.size()] = '\0';
    }
    if (::SetClipboardData(CF_TEXT, memory.get()) == nullptr) return;
    memory.release();  // the clipboard owns it now
    offeredTaken_ = true;
}

ClipboardResult Win32Platform::ClipboardClear() {
    const OpenedClipboard clipboard = OpenClipboardOnce(clipboardOwner_.Open());
    if (!clipboard) return ClipboardResult::kBusy;
    return ::EmptyClipboard() ? ClipboardResult::kOk : ClipboardResult::kFailed;
}

ClipboardResult Win32Platform::ClipboardSetText(std::string_view ansiText,
                                                std::uint32_t readerProcessId) {
    const OpenedClipboard clipboard = OpenClipboardOnce(clipboardOwner_.Open());
    if (!clipboard) return ClipboardResult::kBusy;
    if (!::EmptyClipboard()) return ClipboardResult::kFailed;
    // Offered, not yet handed over: the owner renders it when its reader asks.
    // The call returns no handle for an offer either way; the format being there tells.
    ::SetClipboardData(CF_TEXT, nullptr);
    if (!::IsClipboardFormatAvailable(CF_TEXT)) return ClipboardResult::kFailed;
    offered_.assign(ansiText);
    offeredTo_ = readerProcessId;
    offeredTaken_ = false;
    return ClipboardResult::kOk;
}

bool Win32Platform::WaitForClipboardTextTaken(std::uint32_t timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!offeredTaken_) {
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        // The reader's request arrives as a message sent to the owner window.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
        MSG pending{};
        ::PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    return true;
}

void Win32Platform::MessageBox(std::wstring_view text, std::wstring_view title) {
    const std::wstring message(text);
    const std::wstring caption(title);
    ::MessageBoxW(nullptr, message.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND);
}

}  // namespace vorta::win32
