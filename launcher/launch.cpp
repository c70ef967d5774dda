// The launch sequence: bring the selected CAD to the front and keep it on top, click
// into its command line with the cursor confined there, paste ESC and then the load
// command through the clipboard, and put the cursor, the confinement, the z-order and
// the clipboard back. Every retry is bounded; whatever stops the sequence, the guards
// below undo what was done before the user is told.
#include "launcher/launch.h"

#include <cmath>
#include <exception>
#include <utility>

#include "launcher/cad_interface.h"
#include "launcher/discovery.h"
#include "launcher/startup.h"

namespace vorta {

const wchar_t kNoCadMessage[] =
    L"AutoCadが見つからないか、AutoCadが開いていません。AutoCadを再起動してください。";
const wchar_t kNoCadTitle[] = L"警告";
const wchar_t kCadNotDrivenMessage[] =
    L"CADを操作できませんでした。CADが応答しているか確かめてから、もう一度実行してください。";
const wchar_t kCadNotRespondingMessage[] =
    L"CADが応答していません。CADの処理が終わってから、もう一度実行してください。";
const wchar_t kClipboardBusyMessage[] =
    L"クリップボードを他のプログラムが使用中のため、CADに入力できませんでした。"
    L"しばらくしてから、もう一度実行してください。";

namespace {

// Thrown when a bounded step gives up; carries what the user is told.
struct LaunchStopped {
    const wchar_t* message;
};

// Runs its action once: explicitly, in the sequence's own order, or at scope exit when
// the sequence stops early.
class Undo {
  public:
    Undo() = default;
    Undo(const Undo&) = delete;
    Undo& operator=(const Undo&) = delete;
    ~Undo() {
        try {
            Run();
        } catch (...) {
            // Cleanup must not throw while unwinding; the other guards still run.
        }
    }
    void Arm(std::function<void()> action) { action_ = std::move(action); }
    void Run() {
        if (!action_) return;
        auto action = std::move(action_);
        action_ = nullptr;
        action();
    }

  private:
    std::function<void()> action_;
};

class LaunchSequence {
  public:
    LaunchSequence(Platform& platform, const LauncherState& state, Hwnd target, Point savedCursor,
                   Rect savedClip)
        : p_(platform),
          state_(state),
          target_(target),
          savedCursor_(savedCursor),
          savedClip_(savedClip) {}

    void Run() {
        // Declared in the order the states are taken; destroyed in reverse, which is
        // the order in which the sequence itself puts things back.
        Undo topmost, cursor, confinement, clipboard;

        if (p_.IsIconic(target_)) {
            Require(RetryUntilSuccess(p_, Pumping::kNo, [&] { return p_.OpenIcon(target_); }));
        } else {
            Require(RetryUntilSuccess(p_, Pumping::kNo,
                                      [&] { return p_.SetForegroundWindow(target_); }));
        }

        // The shared FoundCommandLine left by discovery, not a field of the record.
        Rect commandRect{};
        p_.GetWindowRect(state_.FoundCommandLine, commandRect);
        click_ = ClickPointOf(commandRect);

        topmost.Arm([&] {
            RetryUntilSuccess(p_, Pumping::kYes, [&] {
                return p_.SetWindowPos(target_, cad::kHwndNoTopmost, 0, 0, 0, 0,
                                       cad::kNoTopmostFlags);
            });
        });
        Require(RetryUntilSuccess(p_, Pumping::kYes, [&] {
            return p_.SetWindowPos(target_, cad::kHwndTopmost, 0, 0, 0, 0, cad::kTopmostFlags);
        }));

        cursor.Arm([&] {
            RetryUntilSuccess(p_, Pumping::kYes,
                              [&] { return p_.SetCursorPos(savedCursor_.x, savedCursor_.y); });
        });
        MoveCursorToClickPoint();

        confinement.Arm([&] { p_.ClipCursor(savedClip_); });
        Require(RetryUntilSuccess(p_, Pumping::kYes, [&] { return p_.ClipCursor(commandRect); }));
        MoveCursorToClickPoint();

        p_.MouseEvent(cad::kMouseLeftDown);
        Pause(5);
        p_.MouseEvent(cad::kMouseLeftUp);
        Pause(5);

        // Putting the clipboard back is done as well as it can be: once the load command
        // has been typed, a clipboard another program holds is no reason to report a
        // failure.
        clipboard.Arm([&] { TryClearClipboard(); });
        PasteText(std::wstring(1, cad::kEsc), 5);
        PasteText(cad::kLoadCommand, 6);

        clipboard.Run();
        p_.DoEvents();
        Pause(6);
        confinement.Run();
        cursor.Run();
        topmost.Run();
    }

  private:
    static Point ClickPointOf(const Rect& r) {
        return Point{static_cast<std::int32_t>(std::floor((double(r.left) + r.right) / 2)),
                     static_cast<std::int32_t>(std::floor((double(r.top) + r.bottom) / 2))};
    }

    static void Require(bool ok, const wchar_t* message = kCadNotDrivenMessage) {
        if (!ok) throw LaunchStopped{message};
    }

    void Pause(int units) {
        // PauseUnit is kept within 1..5461, so six units still fit in 16 bits.
        p_.Sleep(static_cast<std::uint32_t>(units * std::int32_t{state_.PauseUnit}));
    }

    void MoveCursorToClickPoint() {
        Require(RetryUntilSuccess(p_, Pumping::kYes,
                                  [&] { return p_.SetCursorPos(click_.x, click_.y); }));
    }

    bool TryClearClipboard() {
        return RetryUntilSuccess(
            p_, Pumping::kNo, [&] { return p_.ClipboardClear() == ClipboardResult::kOk; },
            kClipboardBoundMs);
    }

    void ClearClipboard() {
        Require(RetryUntilSuccess(
                    p_, Pumping::kNo, [&] { return p_.ClipboardClear() == ClipboardResult::kOk; },
                    kClipboardBoundMs),
                kClipboardBusyMessage);
    }

    void SetClipboardText(const std::string& ansi) {
        Require(
            RetryUntilSuccess(
                p_, Pumping::kNo, [&] { return p_.ClipboardSetText(ansi) == ClipboardResult::kOk; },
                kClipboardBoundMs),
            kClipboardBusyMessage);
    }

    void PasteText(const std::wstring& text, int pauseAfterSet) {
        ClearClipboard();
        p_.DoEvents();
        Pause(6);
        SetClipboardText(p_.ToAnsi(text));
        p_.DoEvents();
        Pause(pauseAfterSet);
        MoveCursorToClickPoint();  // still confined to the command line

        // A key left pressed would follow the user into the next program: each press
        // has its release guarded.
        Undo controlUp, vUp;
        SendKey(cad::kVkControl, false);
        controlUp.Arm([&] { SendKey(cad::kVkControl, true); });
        Pause(3);
        SendKey(cad::kVkV, false);
        vUp.Arm([&] { SendKey(cad::kVkV, true); });
        Pause(3);
        vUp.Run();
        Pause(3);
        controlUp.Run();
        Pause(3);
    }

    void SendKey(std::uint16_t virtualKey, bool release) {
        KeyboardInput input;
        input.wVk = virtualKey;
        input.wScan =
            static_cast<std::uint16_t>(p_.MapVirtualKeyA(virtualKey, cad::kMapVkToScan) & 0xFFFF);
        input.dwFlags =
            release ? (cad::kKeyEventExtendedKey | cad::kKeyEventKeyUp) : cad::kKeyEventExtendedKey;
        input.time = 0;
        input.dwExtraInfo = 0;
        Require(RetryUntilSuccess(p_, Pumping::kNo, [&] {
            return p_.SendInput(input, static_cast<std::int32_t>(cad::kInputRecordSize)) != 0;
        }));
    }

    Platform& p_;
    const LauncherState& state_;
    const Hwnd target_;
    const Point savedCursor_;
    const Rect savedClip_;
    Point click_{};
};

}  // namespace

bool RetryUntilSuccess(Platform& platform, Pumping pumping, const std::function<bool()>& call,
                       std::uint32_t boundMs) {
    const std::uint32_t start = platform.TickCount();
    for (;;) {
        bool ok = call();
        if (pumping == Pumping::kYes) platform.DoEvents();
        if (ok) return true;
        if (static_cast<std::uint32_t>(platform.TickCount() - start) >= boundMs) return false;
        platform.Sleep(kRetryRestMs);
    }
}

void LaunchInCad(Platform& platform, LauncherState& state, PickerHost& picker) {
    state.AppFolder = AppFolderOf(platform.ApplicationPath());
    state.settings = LoadLauncherSettings(platform, state.AppFolder);

    Point savedCursor{};
    Rect savedClip{};
    platform.GetCursorPos(savedCursor);
    platform.GetClipCursor(savedClip);

    FindCadInstances(platform, state, picker);

    // Nothing selected, or a CAD process none of whose windows was recognised: tell
    // the user and touch nothing.
    PickerList& list = picker.cmbFileName();
    const int selected = list.ListIndex();
    Hwnd target = 0;
    if (selected >= 0) {
        const std::int32_t slot = list.ItemData(selected);
        if (slot > 0 && static_cast<std::size_t>(slot) < state.table.size())
            target = state.table[slot].MainWindow;
    }
    if (target == 0) {
        platform.MessageBox(kNoCadMessage, kNoCadTitle);
        return;
    }
    // Bringing a window to the front and changing its z-order wait for its thread: a
    // CAD that has stopped answering would hold the launcher until it wakes, and then
    // be typed into long after the user has moved on. Ask first, touch nothing if not.
    if (!platform.IsWindowResponding(target, kRetryBoundMs)) {
        platform.MessageBox(kCadNotRespondingMessage, kAppTitle);
        return;
    }

    const wchar_t* failure = nullptr;
    try {
        LaunchSequence(platform, state, target, savedCursor, savedClip).Run();
    } catch (const LaunchStopped& stopped) {
        failure = stopped.message;
    } catch (...) {
        failure = kCadNotDrivenMessage;
    }
    // The guards have put everything back by now; only then is the user told.
    if (failure) platform.MessageBox(failure, kAppTitle);
}

}  // namespace vorta
