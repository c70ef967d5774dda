#include "tests/support/fake_platform.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "launcher/text_file.h"

namespace vorta::testing {

namespace {

std::string Convert(const char* to, const char* from, const char* data, std::size_t size) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open");
    std::string out(size * 4 + 16, '\0');
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char* dst = out.data();
    std::size_t outLeft = out.size();
    std::size_t r = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1)) throw std::runtime_error("iconv: not convertible");
    out.resize(out.size() - outLeft);
    return out;
}

std::string Fmt(const char* format, long long a, long long b = 0, long long c = 0,
                long long d = 0) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
    return buffer;
}

}  // namespace

std::string Cp932(std::wstring_view text) {
    return Convert("CP932", "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(wchar_t));
}

std::wstring FromCp932(std::string_view bytes) {
    std::string wide = Convert("WCHAR_T", "CP932", bytes.data(), bytes.size());
    return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()),
                        wide.size() / sizeof(wchar_t));
}

void FakePlatform::AddProcess(std::uint32_t pid, std::string_view exeName) {
    std::string field(260, '\0');
    std::copy(exeName.begin(), exeName.end(), field.begin());
    processes.push_back({pid, field});
}

void FakePlatform::AddThread(std::uint32_t tid, std::uint32_t pid) {
    threads.push_back({tid, pid});
}

std::uint32_t FakePlatform::PauseTotal() const {
    std::uint32_t total = 0;
    for (auto s : sleeps) total += s;
    return total;
}

bool FakePlatform::IsTopmost(Hwnd w) const {
    return std::find(topmost.begin(), topmost.end(), w) != topmost.end();
}

std::size_t FakePlatform::CountLog(std::string_view prefix) const {
    return std::count_if(log.begin(), log.end(),
                         [&](const std::string& e) { return e.starts_with(prefix); });
}

bool FakePlatform::Fails(const std::string& call) {
    if (auto after = failuresAfter.find(call); after != failuresAfter.end()) {
        if (after->second == 0) {
            tick += 1;
            return true;
        }
        --after->second;
    }
    auto it = failures.find(call);
    if (it == failures.end() || it->second == 0) return false;
    if (it->second > 0) --it->second;
    tick += 1;  // a failing platform call still takes time
    return true;
}

void FakePlatform::Reindex() {
    if (indexedCount_ == windows.size()) return;
    byHandle_.clear();
    topByThread_.clear();
    childrenOf_.clear();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const FakeWindow& w = windows[i];
        byHandle_.emplace(w.hwnd, i);
        if (w.parent == 0)
            topByThread_[w.threadId].push_back(w.hwnd);
        else
            childrenOf_[w.parent].push_back(w.hwnd);
    }
    indexedCount_ = windows.size();
}

FakeWindow* FakePlatform::Find(Hwnd hwnd) {
    Reindex();
    auto it = byHandle_.find(hwnd);
    return it == byHandle_.end() ? nullptr : &windows[it->second];
}

void FakePlatform::Log(std::string entry) {
    log.push_back(std::move(entry));
    const std::string& last = log.back();
    for (auto& [prefix, action] : triggers) {
        if (action && last.starts_with(prefix)) {
            auto run = std::move(action);
            action = nullptr;
            run();
        }
    }
}

void FakePlatform::ApplyPendingClip() {
    if (!pendingClip) return;
    clip = *pendingClip;
    pendingClip.reset();
}

void FakePlatform::DestroyWindowTree(Hwnd window) {
    std::vector<Hwnd> gone{window};
    for (std::size_t i = 0; i < gone.size(); ++i)
        for (const FakeWindow& w : windows)
            if (w.parent == gone[i]) gone.push_back(w.hwnd);
    std::erase_if(windows, [&](const FakeWindow& w) {
        return std::find(gone.begin(), gone.end(), w.hwnd) != gone.end();
    });
    indexedCount_ = static_cast<std::size_t>(-1);
    std::erase_if(topmost,
                  [&](Hwnd h) { return std::find(gone.begin(), gone.end(), h) != gone.end(); });
    if (std::find(gone.begin(), gone.end(), foreground) != gone.end()) foreground = 0;
}

void FakePlatform::HangProcessWindows(std::uint32_t processId, bool hung) {
    for (FakeWindow& w : windows)
        if (GetWindowThreadProcessId(w.hwnd).processId == processId) w.hung = hung;
}

std::optional<std::string> FakePlatform::ReadFileHead(const std::wstring& path,
                                                      std::size_t maxBytes) {
    Log("ReadFileHead");
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

std::string FakePlatform::ReadProfileString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& defaultValue,
                                            const std::wstring& fileName) {
    Log("ReadProfileString " + Cp932(key));
    if (profilesFromFiles) {
        auto found = files.find(fileName);
        std::optional<std::wstring> read;
        if (found != files.end()) read = ProfileValue(FromAnsi(found->second), section, key);
        return ToAnsi(read.value_or(defaultValue)).substr(0, 254);
    }
    std::wstring value = defaultValue;
    auto file = iniMain.find(fileName);
    if (section == L"Main" && file != iniMain.end()) {
        auto v = file->second.find(key);
        if (v != file->second.end()) value = v->second;
    }
    // Like the real reader: at most 254 characters.
    return Cp932(value.substr(0, 254));
}

std::vector<ProcessEntry> FakePlatform::SnapshotProcesses() {
    ++snapshotsTaken;
    Log("SnapshotProcesses");
    return processes;
}

std::vector<ThreadEntry> FakePlatform::SnapshotThreads() {
    ++snapshotsTaken;
    Log("SnapshotThreads");
    return threads;
}

void FakePlatform::EnumThreadWindows(std::uint32_t threadId,
                                     const std::function<bool(Hwnd)>& onWindow) {
    Reindex();
    const std::vector<Hwnd> list = topByThread_[threadId];
    for (Hwnd h : list)
        if (!onWindow(h)) return;
}

void FakePlatform::EnumChildWindows(Hwnd parent, const std::function<bool(Hwnd)>& onChild) {
    // Depth first, like the real enumeration of descendants.
    Reindex();
    std::vector<Hwnd> order;
    std::function<void(Hwnd)> walk = [&](Hwnd p) {
        auto it = childrenOf_.find(p);
        if (it == childrenOf_.end()) return;
        for (Hwnd child : it->second) {
            order.push_back(child);
            walk(child);
        }
    };
    if (parent != 0) walk(parent);
    for (Hwnd h : order)
        if (!onChild(h)) return;
}

std::int32_t FakePlatform::GetWindowTextLengthA(Hwnd window) {
    FakeWindow* w = Find(window);
    return w ? static_cast<std::int32_t>(Cp932(w->caption).size()) + w->lengthOverestimate : 0;
}

std::string FakePlatform::GetWindowTextA(Hwnd window, std::int32_t bufferSize) {
    std::string buffer(static_cast<std::size_t>(std::max(bufferSize, 0)), '\0');
    FakeWindow* w = Find(window);
    if (w && bufferSize > 0) {
        std::string text = Cp932(w->caption);
        std::size_t n = std::min(text.size(), buffer.size() - 1);
        std::copy(text.begin(), text.begin() + n, buffer.begin());
    }
    return buffer;
}

bool FakePlatform::GetCursorPos(Point& out) {
    Log("GetCursorPos");
    if (Fails("GetCursorPos")) return false;
    out = cursor;
    return true;
}

bool FakePlatform::SetCursorPos(std::int32_t x, std::int32_t y) {
    Log(Fmt("SetCursorPos %lld,%lld", x, y));
    if (Fails("SetCursorPos")) return false;
    // Like the real cursor: kept inside the confinement rectangle.
    cursor.x = std::clamp(x, clip.left, std::max(clip.left, clip.right - 1));
    cursor.y = std::clamp(y, clip.top, std::max(clip.top, clip.bottom - 1));
    return true;
}

bool FakePlatform::GetClipCursor(Rect& out) {
    Log("GetClipCursor");
    if (Fails("GetClipCursor")) return false;
    out = clip;
    return true;
}

bool FakePlatform::ClipCursor(const Rect& rect) {
    Log(Fmt("ClipCursor %lld,%lld,%lld,%lld", rect.left, rect.top, rect.right, rect.bottom));
    if (Fails("ClipCursor")) return false;
    if (clipTakesEffectLater)
        pendingClip = rect;
    else
        clip = rect;
    return true;
}

bool FakePlatform::IsWindowResponding(Hwnd window, std::uint32_t timeoutMs) {
    Log(Fmt("IsWindowResponding %lld", window));
    FakeWindow* w = Find(window);
    if (w && w->hung) {
        // The whole time-out is spent waiting, once: a thread that has not answered an
        // earlier question is not asked again.
        if (!w->unanswered) tick += timeoutMs;
        w->unanswered = true;
        return false;
    }
    return w != nullptr;
}

bool FakePlatform::IsWindow(Hwnd window) {
    return Find(window) != nullptr;
}

bool FakePlatform::IsWindowVisible(Hwnd window) {
    for (FakeWindow* w = Find(window); w; w = Find(w->parent)) {
        if (!w->visible) return false;
        if (w->parent == 0) return true;
    }
    return false;
}

WindowOwner FakePlatform::GetWindowThreadProcessId(Hwnd window) {
    FakeWindow* root = Find(GetRootWindow(window));
    if (!root) return {};
    for (const ThreadEntry& t : threads)
        if (t.threadId == root->threadId) return {t.ownerProcessId, t.threadId};
    return {0, root->threadId};
}

Hwnd FakePlatform::GetRootWindow(Hwnd window) {
    FakeWindow* w = Find(window);
    while (w && w->parent != 0) {
        FakeWindow* up = Find(w->parent);
        if (!up) return 0;
        w = up;
    }
    return w ? w->hwnd : 0;
}

bool FakePlatform::IsChild(Hwnd parent, Hwnd window) {
    FakeWindow* w = Find(window);
    while (w && w->parent != 0) {
        if (w->parent == parent) return true;
        w = Find(w->parent);
    }
    return false;
}

// The window comes to the front and its thread's focus moves into it, unless it is
// there already.
void FakePlatform::Activate(Hwnd window) {
    foreground = window;
    const std::uint32_t thread = GetWindowThreadProcessId(window).threadId;
    if (focusKeeper != 0 && GetWindowThreadProcessId(focusKeeper).threadId == thread) {
        focus[thread] = focusKeeper;
        return;
    }
    const Hwnd now = GetFocusOfThread(thread);
    if (now != window && !IsChild(window, now)) focus[thread] = window;
}

Hwnd FakePlatform::GetForegroundWindow() {
    return Find(foreground) ? foreground : 0;
}

Hwnd FakePlatform::GetFocusOfThread(std::uint32_t threadId) {
    auto it = focus.find(threadId);
    return it != focus.end() && Find(it->second) ? it->second : 0;
}

Hwnd FakePlatform::WindowFromPoint(Point p) {
    auto contains = [&](const FakeWindow& w) {
        return w.visible && p.x >= w.rect.left && p.x < w.rect.right && p.y >= w.rect.top &&
               p.y < w.rect.bottom;
    };
    // Top-level windows in z-order: topmost ones (the last made topmost first), then the
    // foreground window, then the rest.
    std::vector<Hwnd> order(topmost.rbegin(), topmost.rend());
    order.push_back(foreground);
    for (const FakeWindow& w : windows)
        if (w.parent == 0) order.push_back(w.hwnd);
    for (Hwnd h : order) {
        FakeWindow* top = Find(h);
        if (!top || top->parent != 0 || top->iconic || !contains(*top)) continue;
        // The smallest descendant under the point.
        Hwnd hit = h;
        long long area = -1;
        for (const FakeWindow& w : windows) {
            if (!IsChild(h, w.hwnd) || !contains(w) || !IsWindowVisible(w.hwnd)) continue;
            long long a = 1LL * (w.rect.right - w.rect.left) * (w.rect.bottom - w.rect.top);
            if (area < 0 || a < area) {
                area = a;
                hit = w.hwnd;
            }
        }
        return hit;
    }
    return 0;
}

ProcessRights FakePlatform::CompareProcessRights(std::uint32_t processId) {
    auto it = rights.find(processId);
    return it == rights.end() ? ProcessRights::kNotHigher : it->second;
}

bool FakePlatform::IsIconic(Hwnd window) {
    Log(Fmt("IsIconic %lld", window));
    FakeWindow* w = Find(window);
    return w && w->iconic;
}

bool FakePlatform::OpenIcon(Hwnd window) {
    Log(Fmt("OpenIcon %lld", window));
    FakeWindow* w = Find(window);
    if (w && w->hung) throw std::logic_error("OpenIcon on a window that does not answer blocks");
    if (Fails("OpenIcon") || !w) return false;
    w->iconic = false;
    Activate(window);
    return true;
}

bool FakePlatform::SetForegroundWindow(Hwnd window) {
    Log(Fmt("SetForegroundWindow %lld", window));
    if (Fails("SetForegroundWindow") || Find(window) == nullptr) return false;
    Activate(window);
    return true;
}

bool FakePlatform::GetWindowRect(Hwnd window, Rect& out) {
    Log(Fmt("GetWindowRect %lld", window));
    FakeWindow* w = Find(window);
    if (!w) return false;
    out = w->rect;
    return true;
}

bool FakePlatform::SetWindowPos(Hwnd window, std::int32_t insertAfter, std::int32_t x,
                                std::int32_t y, std::int32_t cx, std::int32_t cy,
                                std::uint32_t flags) {
    Log(Fmt("SetWindowPos %lld,%lld,", window, insertAfter) +
        Fmt("%lld,%lld,%lld,%lld,", x, y, cx, cy) + Fmt("%lld", flags));
    FakeWindow* w = Find(window);
    if (!w) return false;
    // Waits for the window's thread, unless the change is only queued to it.
    if (w->hung && !(flags & 0x4000))
        throw std::logic_error("SetWindowPos on a window that does not answer blocks");
    if (Fails(insertAfter == -1 ? "SetWindowPos topmost" : "SetWindowPos notopmost")) return false;
    std::erase(topmost, window);
    if (insertAfter == -1) topmost.push_back(window);
    return true;
}

void FakePlatform::MouseEvent(std::uint32_t flags) {
    Log(Fmt("MouseEvent %lld", flags));
    // A button press reaches the window under the cursor, which takes the keyboard focus
    // and brings its top-level window to the front; failures["Click"] loses presses.
    if (flags != 0x0002 || Fails("Click")) return;
    const Hwnd hit = WindowFromPoint(cursor);
    if (hit == 0) return;
    foreground = GetRootWindow(hit);
    const std::uint32_t thread = GetWindowThreadProcessId(hit).threadId;
    const bool kept = focusKeeper != 0 && GetWindowThreadProcessId(focusKeeper).threadId == thread;
    focus[thread] = kept ? focusKeeper : hit;
}

std::uint32_t FakePlatform::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    if (mapType != 0) return 0;
    return code == 0x11 ? 0x1D : code == 0x56 ? 0x2F : 0;
}

std::uint32_t FakePlatform::SendInput(const KeyboardInput& input, std::int32_t cbSize) {
    Log(Fmt("SendInput %lld,%lld", input.wVk, input.dwFlags));
    if (Fails("SendInput") || Fails(Fmt("SendInput %lld,%lld", input.wVk, input.dwFlags))) return 0;
    keyInputs.push_back(input);
    keyInputSizes.push_back(cbSize);
    return 1;
}

void FakePlatform::Sleep(std::uint32_t milliseconds) {
    Log(Fmt("Sleep %lld", milliseconds));
    sleeps.push_back(milliseconds);
    tick += milliseconds;
    ApplyPendingClip();
}

void FakePlatform::DoEvents() {
    Log("DoEvents");
    ApplyPendingClip();
}

ClipboardResult FakePlatform::ClipboardClear() {
    Log("ClipboardClear");
    if (clipboardBusy) {
        tick += 1;
        return ClipboardResult::kBusy;
    }
    if (Fails("ClipboardClear")) return ClipboardResult::kFailed;
    clipboard.reset();
    return ClipboardResult::kOk;
}

ClipboardResult FakePlatform::ClipboardSetText(std::string_view ansiText,
                                               std::uint32_t readerProcessId) {
    Log("ClipboardSetText " + HexBytes(ansiText));
    if (clipboardBusy) {
        tick += 1;
        return ClipboardResult::kBusy;
    }
    if (Fails("ClipboardSetText")) return ClipboardResult::kFailed;
    clipboard = std::string(ansiText);
    clipboardReader = readerProcessId;
    return ClipboardResult::kOk;
}

bool FakePlatform::WaitForClipboardTextTaken(std::uint32_t timeoutMs) {
    Log("WaitForClipboardTextTaken");
    // The reader takes it on Ctrl+V when it is in front, its thread runs and its focus
    // is on a window that pastes; failures["ClipboardTaken"] makes the paste go missing.
    bool taken = clipboard.has_value() && !Fails("ClipboardTaken");
    if (taken) {
        const Hwnd front = GetForegroundWindow();
        FakeWindow* w = Find(front);
        const WindowOwner owner = GetWindowThreadProcessId(front);
        FakeWindow* focused = Find(GetFocusOfThread(owner.threadId));
        taken = w && !w->hung && owner.processId == clipboardReader &&
                !(focused && focused->ignoresPaste);
    }
    if (!taken) tick += timeoutMs;
    return taken;
}

void FakePlatform::MessageBox(std::wstring_view text, std::wstring_view title) {
    Log("MessageBox");
    messageBoxes.emplace_back(std::wstring(text), std::wstring(title));
}

}  // namespace vorta::testing
