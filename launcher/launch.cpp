// The launch sequence: bring the selected CAD to the front and keep it on top, click
// into its command line with the cursor confined there, paste ESC and then the load
// command through the clipboard, and put the cursor, the confinement, the z-order and
// the clipboard back. Every retry is bounded; each state the sequence takes goes on one
// undo stack, so whatever stops it, what was done is undone before the user is told.
#include "launcher/launch.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "launcher/app_title.h"
#include "launcher/cad_protocol.h"
#include "launcher/discovery.h"
#include "launcher/pause_file.h"
#include "launcher/retry.h"
#include "launcher/settings.h"
#include "launcher/win32_values.h"

namespace vorta {

const wchar_t kNoCadMessage[] =
    L"AutoCadが見つからないか、AutoCadが開いていません。AutoCadを再起動してください。";
const wchar_t kNoCadTitle[] = L"警告";
const wchar_t kUnexpectedErrorMessage[] =
    L"予期しないエラーのため、CADに入力できませんでした。もう一度実行してください。";
const wchar_t kCadNotRespondingMessage[] =
    L"CADが応答していません。CADの処理が終わってから、もう一度実行してください。";
const wchar_t kClipboardBusyMessage[] =
    L"クリップボードをほかのプログラムが使用中のため、CADに入力できませんでした。"
    L"しばらくしてから、もう一度実行してください。";
const wchar_t kClipboardNotSetMessage[] =
    L"クリップボードに書き込めなかったため、CADに入力できませんでした。もう一度実行してください。";
const wchar_t kCadClosedMessage[] =
    L"CADが終了したため、CADに入力できませんでした。CADを起動してから、もう一度実行してください。";
const wchar_t kNoCommandLineMessage[] =
    L"CADのコマンド ラインが見つかりませんでした。vortastart.exeをShiftキーを押しながら起動し、"
    L"［設定(S)］でLumset.iniのCommandCaptionを確かめてください。";
const wchar_t kCadElevatedMessage[] =
    L"CADが管理者として実行されているため、入力できません。"
    L"CADを通常どおり起動するか、vortastart も管理者として実行してください。";
const wchar_t kCadNotForegroundMessage[] =
    L"WindowsがCADを前面に出さなかったため、CADに入力できませんでした。"
    L"CADのウィンドウを一度クリックしてから、もう一度実行してください。";
const wchar_t kCommandLineCoveredMessage[] =
    L"CADのコマンド ラインがほかのウィンドウに隠れているため、クリックできませんでした。"
    L"隠しているウィンドウを動かしてから、もう一度実行してください。";
const wchar_t kPasteNotTakenMessage[] =
    L"CADが貼り付けを受け取らなかったため、入力できませんでした。vortastart.exeをShiftキーを"
    L"押しながら起動し、［設定(S)］でクリックするコマンド ラインを確かめてください。";
const wchar_t kInputRefusedMessage[] =
    L"Windowsがマウスまたはキーボードの入力を受け付けなかったため、CADに入力できませんでした。"
    L"もう一度実行してください。";

namespace {

// The pauses of the sequence, in units of PauseUnit milliseconds. A run whose first click
// takes pauses 63 units in all:
//   the click: after the button goes down 5, after it goes up 5               10
//   the ESC paste: clipboard cleared 6, text set 5, four key events 4 x 3     23
//   the load command paste: cleared 6, text set 6, four key events 4 x 3      24
//   before putting things back                                                 6
// Every click made again (one that did not take, or one made before a paste because
// the focus left the command line) adds another 10.
constexpr int kPauseAfterButtonDown = 5;
constexpr int kPauseAfterButtonUp = 5;
constexpr int kPauseAfterClipboardCleared = 6;
constexpr int kPauseAfterEscSet = 5;
constexpr int kPauseAfterLoadSet = 6;
constexpr int kPauseAfterKey = 3;
constexpr int kPauseBeforeRestoring = 6;
static_assert(kPauseAfterButtonDown + kPauseAfterButtonUp +
                      2 * (kPauseAfterClipboardCleared + 4 * kPauseAfterKey) + kPauseAfterEscSet +
                      kPauseAfterLoadSet + kPauseBeforeRestoring ==
                  63,
              "a run pauses 63 units");
// PauseUnit is kept within kMinPauseUnit..kMaxPauseUnit, so the longest pause still fits
// in 16 bits.
static_assert(std::max({kPauseAfterButtonDown, kPauseAfterButtonUp, kPauseAfterClipboardCleared,
                        kPauseAfterEscSet, kPauseAfterLoadSet, kPauseAfterKey,
                        kPauseBeforeRestoring}) *
                      kMaxPauseUnit <=
                  32767,
              "every pause fits in 16 bits");

// Thrown when a bounded step gives up; carries what the user is told.
struct LaunchStopped {
    const wchar_t* message;
};

// The states a run has changed, each with what puts it back: pushed when the state is
// taken, unwound in reverse. The run unwinds it in its own order at its end; a run that
// stops early leaves the rest to the destructor.
class UndoStack {
  public:
    UndoStack() = default;
    UndoStack(const UndoStack&) = delete;
    UndoStack& operator=(const UndoStack&) = delete;
    ~UndoStack() {
        while (!undos_.empty()) {
            try {
                Unwind(1);
            } catch (...) {
                // Cleanup must not throw while unwinding; the other states still go back.
            }
        }
    }
    void Push(std::function<void()> undo) { undos_.push_back(std::move(undo)); }
    // Puts back the last `count` states taken, the last first.
    void Unwind(std::size_t count) {
        for (; count > 0 && !undos_.empty(); --count) {
            std::function<void()> undo = std::move(undos_.back());
            undos_.pop_back();
            undo();
        }
    }
    void UnwindAll() { Unwind(undos_.size()); }

  private:
    std::vector<std::function<void()>> undos_;
};

// Where a key pressed now would land.
enum class KeysGo {
    kElsewhere,        // another program is in front, or its focus is not the CAD's
    kIntoCad,          // a window of the CAD other than the command line has the focus
    kIntoCommandLine,  // the command line (or a control inside it) has the focus
};

class LaunchSequence {
  public:
    LaunchSequence(Platform& platform, const LauncherState& state, const DriveTarget& target,
                   Point savedCursor, Rect savedClip)
        : p_(platform),
          state_(state),
          t_(target),
          savedCursor_(savedCursor),
          savedClip_(savedClip) {}

    void Run() {
        BringCadForward();
        const Rect commandRect = MeasureCommandLine();
        KeepOnTop();
        ConfineCursorTo(commandRect);
        FocusAfterClick focus = ClickIntoCommandLine();
        PutOnClipboard(std::wstring(1, cad::kEsc), kPauseAfterEscSet);
        undo_.Push([this] { ClearClipboard(); });  // only text of ours is ever cleared away
        focus = PressCtrlV(focus);
        PutOnClipboard(cad::kLoadCommand, kPauseAfterLoadSet);
        PressCtrlV(focus);
        PutBack();
    }

  private:
    // Where the keyboard focus was after the clicks.
    enum class FocusAfterClick {
        kInCommandLine,
        kElsewhereInCad,  // the CAD keeps it on another window of its own and hands keys on
    };

    // The main window, and the window holding the command line when that is another one:
    // the click must not have to activate the window it lands in, as a click that
    // activates loses its button press on some systems.
    void BringCadForward() {
        BringForward(t_.main);
        if (t_.commandRoot != t_.main) BringForward(t_.commandRoot);
    }

    // Read after the CAD was restored: a minimised window has no place on screen.
    Rect MeasureCommandLine() {
        Rect commandRect{};
        p_.GetWindowRect(t_.commandLine, commandRect);
        if (IsEmpty(commandRect)) throw LaunchStopped{kNoCommandLineMessage};
        click_ = ClickPointOf(commandRect);
        return commandRect;
    }

    // The main window stays on top; so does the window holding the command line, so
    // nothing covers the point clicked.
    void KeepOnTop() {
        MakeTopmost(t_.main);
        if (t_.commandRoot != t_.main) MakeTopmost(t_.commandRoot);
    }

    void ConfineCursorTo(const Rect& commandRect) {
        commandRect_ = commandRect;
        undo_.Push([this] { RestoreCursor(); });
        MoveCursorToClickPoint();
        undo_.Push([this] { RestoreConfinement(); });
        Require(RetryUntilSuccess(p_, Pumping::kYes, [&] { return p_.ClipCursor(commandRect_); }),
                kInputRefusedMessage);
        MoveCursorToClickPoint();
    }

    // The clipboard first, as well as it can be: once the load command has been typed, a
    // clipboard another program holds is no reason to report a failure. Then the
    // confinement, the cursor and the z-order, in reverse of the order they were taken.
    void PutBack() {
        undo_.Unwind(1);
        p_.DoEvents();
        Pause(kPauseBeforeRestoring);
        undo_.UnwindAll();
    }

    static Point ClickPointOf(const Rect& r) {
        return Point{static_cast<std::int32_t>(std::floor((double(r.left) + r.right) / 2)),
                     static_cast<std::int32_t>(std::floor((double(r.top) + r.bottom) / 2))};
    }

    static void Require(bool ok, const wchar_t* message) {
        if (!ok) throw LaunchStopped{message};
    }

    void Pause(int units) {
        p_.Sleep(static_cast<std::uint32_t>(units * std::int32_t{state_.PauseUnit}));
    }

    bool Elapsed(std::uint32_t since, std::uint32_t boundMs) {
        return static_cast<std::uint32_t>(p_.TickCount() - since) >= boundMs;
    }

    // OpenIcon, SetWindowPos and a paste wait for the CAD's thread: it is asked first
    // whether it answers, so a CAD that has stopped answering never holds the launcher.
    void RequireAnswering(Hwnd window) {
        if (p_.IsWindowResponding(window, kRetryBoundMs)) return;
        cadAnswers_ = false;
        throw LaunchStopped{p_.IsWindow(window) ? kCadNotRespondingMessage : kCadClosedMessage};
    }

    // Restored with OpenIcon when minimised, otherwise brought to the front. Either can
    // wait for the CAD's thread, which is asked right before whether it answers.
    void BringForward(Hwnd window) {
        RequireAnswering(window);
        if (p_.IsIconic(window)) {
            Require(RetryUntilSuccess(p_, Pumping::kNo, [&] { return p_.OpenIcon(window); }),
                    kCadNotForegroundMessage);
        } else {
            Require(
                RetryUntilSuccess(p_, Pumping::kNo, [&] { return p_.SetForegroundWindow(window); }),
                kCadNotForegroundMessage);
        }
    }

    // The change is queued to the CAD's thread, never waited for: a CAD that stops
    // answering at this moment cannot hold the launcher. The CAD carries it out before
    // it handles any input of ours.
    void MakeTopmost(Hwnd window) {
        undo_.Push([this, window] { DropTopmost(window); });
        Require(RetryUntilSuccess(p_, Pumping::kYes,
                                  [&] {
                                      return p_.SetWindowPos(
                                          window, winapi::kHwndTopmost, 0, 0, 0, 0,
                                          winapi::kTopmostFlags | winapi::kSwpAsyncWindowPos);
                                  }),
                kCadNotForegroundMessage);
    }

    // A window that is gone needs nothing; one whose thread stopped answering gets the
    // change queued, so it drops the topmost state as soon as it wakes, without us
    // waiting for it.
    void DropTopmost(Hwnd window) {
        if (!p_.IsWindow(window)) return;
        auto drop = [&](std::uint32_t flags) {
            return p_.SetWindowPos(window, winapi::kHwndNoTopmost, 0, 0, 0, 0, flags);
        };
        if (cadAnswers_ && p_.IsWindowResponding(window, kFocusWaitMs) &&
            RetryUntilSuccess(p_, Pumping::kYes, [&] {
                return drop(winapi::kNoTopmostFlags) || !p_.IsWindow(window);
            }))
            return;
        drop(winapi::kNoTopmostFlags | winapi::kSwpAsyncWindowPos);
    }

    // Put back and checked: some systems apply a confinement only a moment later, and a
    // cursor moved before that is still held inside the old one.
    void RestoreConfinement() {
        RetryUntilSuccess(p_, Pumping::kYes, [&] {
            Rect now{};
            if (p_.GetClipCursor(now) && now == savedClip_) return true;
            p_.ClipCursor(savedClip_);
            return p_.GetClipCursor(now) && now == savedClip_;
        });
    }

    void RestoreCursor() {
        RetryUntilSuccess(p_, Pumping::kYes, [&] {
            Point now{};
            if (p_.GetCursorPos(now) && now == savedCursor_) return true;
            p_.SetCursorPos(savedCursor_.x, savedCursor_.y);
            return p_.GetCursorPos(now) && now == savedCursor_;
        });
    }

    void MoveCursorToClickPoint() {
        Require(RetryUntilSuccess(p_, Pumping::kYes,
                                  [&] { return p_.SetCursorPos(click_.x, click_.y); }),
                kInputRefusedMessage);
    }

    // The CAD still runs: its main window and its command line are still there.
    void RequireCadRunning() {
        if (!p_.IsWindow(t_.main) || !p_.IsWindow(t_.commandLine))
            throw LaunchStopped{kCadClosedMessage};
    }

    // The CAD still runs and answers; nothing more is done to one that does not.
    void RequireCadAnswering() {
        RequireCadRunning();
        RequireAnswering(t_.main);
    }

    bool IsCommandLineOrInside(Hwnd window) {
        return window != 0 && (window == t_.commandLine || p_.IsChild(t_.commandLine, window));
    }

    // Where a key pressed now lands: the foreground window, and the window with the
    // keyboard focus in that window's thread.
    KeysGo WhereKeysGo() {
        const WindowOwner front = p_.GetWindowThreadProcessId(p_.GetForegroundWindow());
        if (front.processId == 0 || front.processId != t_.cad.processId) return KeysGo::kElsewhere;
        const Hwnd focus = p_.GetFocusOfThread(front.threadId);
        if (p_.GetWindowThreadProcessId(focus).processId != t_.cad.processId)
            return KeysGo::kElsewhere;
        return IsCommandLineOrInside(focus) ? KeysGo::kIntoCommandLine : KeysGo::kIntoCad;
    }

    // Clicks into the command line, aiming to give it the keyboard focus. A click is made
    // only where it reaches the command line; one after which the focus is not in the
    // command line is made again, with the CAD brought forward and the cursor confined
    // again first. Some CADs keep the focus on another window of theirs (a drawing area
    // that hands the keys on to the command line): once the keys land in the CAD after
    // kClicksBeforePasting clicks, or when the bound is reached, the paste goes ahead.
    // Stops, naming the cause, when no click could be made (the command line covered)
    // or the keys would still land in another program.
    FocusAfterClick ClickIntoCommandLine() {
        const std::uint32_t start = p_.TickCount();
        int clicksIntoCad = 0;
        const wchar_t* obstacle = kCommandLineCoveredMessage;
        for (bool first = true;; first = false) {
            if (!first) {
                RequireCadAnswering();
                p_.SetForegroundWindow(t_.commandRoot);
                p_.ClipCursor(commandRect_);
                p_.SetCursorPos(click_.x, click_.y);
                p_.DoEvents();
            }
            if (IsCommandLineOrInside(p_.WindowFromPoint(click_))) {
                p_.MouseEvent(winapi::kMouseLeftDown);
                Pause(kPauseAfterButtonDown);
                p_.MouseEvent(winapi::kMouseLeftUp);
                Pause(kPauseAfterButtonUp);
                KeysGo where = WhereKeysGo();
                if (where != KeysGo::kIntoCommandLine)
                    RetryUntilSuccess(
                        p_, Pumping::kNo,
                        [&] { return (where = WhereKeysGo()) == KeysGo::kIntoCommandLine; },
                        kFocusWaitMs);
                if (where == KeysGo::kIntoCommandLine) return FocusAfterClick::kInCommandLine;
                if (where == KeysGo::kIntoCad) {
                    if (++clicksIntoCad >= kClicksBeforePasting || Elapsed(start, kRetryBoundMs))
                        return FocusAfterClick::kElsewhereInCad;
                } else {
                    obstacle = kCadNotForegroundMessage;
                }
            } else {
                obstacle = kCommandLineCoveredMessage;
                p_.Sleep(kRetryRestMs);
            }
            Require(!Elapsed(start, kRetryBoundMs), obstacle);
        }
    }

    // Keys go nowhere but into the CAD: never while another program is in front.
    void RequireKeysIntoCad() {
        if (WhereKeysGo() == KeysGo::kElsewhere) throw LaunchStopped{kCadNotForegroundMessage};
    }

    void ClipboardStep(const std::function<ClipboardResult()>& step) {
        ClipboardResult last = ClipboardResult::kOk;
        const bool ok = RetryUntilSuccess(
            p_, Pumping::kNo, [&] { return (last = step()) == ClipboardResult::kOk; },
            kClipboardBoundMs);
        Require(ok,
                last == ClipboardResult::kBusy ? kClipboardBusyMessage : kClipboardNotSetMessage);
    }

    // Puts the text on the clipboard, in place of what was there.
    void PutOnClipboard(const std::wstring& text, int pauseAfterSet) {
        RequireCadAnswering();
        ClipboardStep([&] { return p_.ClipboardClear(); });
        p_.DoEvents();
        Pause(kPauseAfterClipboardCleared);
        const std::string ansi = p_.ToAnsi(text);
        ClipboardStep([&] { return p_.ClipboardSetText(ansi, t_.cad.processId); });
        p_.DoEvents();
        Pause(pauseAfterSet);
    }

    // Clears the clipboard, within a bound; the first text of ours pushes it.
    void ClearClipboard() {
        RetryUntilSuccess(
            p_, Pumping::kNo, [&] { return p_.ClipboardClear() == ClipboardResult::kOk; },
            kClipboardBoundMs);
    }

    // Ctrl+V into the command line, and the proof that the CAD took the text. Returns
    // where the focus was left, clicked again when it had left the command line.
    FocusAfterClick PressCtrlV(FocusAfterClick focus) {
        MoveCursorToClickPoint();  // still confined to the command line

        // Keys go nowhere but into a CAD that still runs; into its command line when the
        // CAD lets the focus go there.
        RequireCadRunning();
        const KeysGo where = WhereKeysGo();
        if (where == KeysGo::kElsewhere ||
            (where == KeysGo::kIntoCad && focus != FocusAfterClick::kElsewhereInCad))
            focus = ClickIntoCommandLine();

        // A key left pressed would follow the user into the next program: each press
        // has its release pushed.
        RequireKeysIntoCad();
        SendKey(winapi::kVkControl, false);
        undo_.Push([this] { SendKey(winapi::kVkControl, true); });
        Pause(kPauseAfterKey);
        RequireKeysIntoCad();
        SendKey(winapi::kVkV, false);
        undo_.Push([this] { SendKey(winapi::kVkV, true); });
        Pause(kPauseAfterKey);
        undo_.Unwind(1);
        Pause(kPauseAfterKey);
        undo_.Unwind(1);
        Pause(kPauseAfterKey);
        // The CAD handles Ctrl+V in its own time: the text is handed over only when the
        // CAD itself asks for it, and the clipboard is not changed again before then. A
        // paste the CAD never takes is not passed over in silence.
        if (p_.WaitForClipboardTextTaken(kRetryBoundMs)) return focus;
        RequireCadRunning();
        if (!p_.IsWindowResponding(t_.main, kFocusWaitMs)) {
            cadAnswers_ = false;
            throw LaunchStopped{kCadNotRespondingMessage};
        }
        throw LaunchStopped{kPasteNotTakenMessage};
    }

    void SendKey(std::uint16_t virtualKey, bool release) {
        KeyboardInput input;
        input.wVk = virtualKey;
        input.wScan = static_cast<std::uint16_t>(
            p_.MapVirtualKeyA(virtualKey, winapi::kMapVkToScan) & 0xFFFF);
        input.dwFlags = release ? (winapi::kKeyEventExtendedKey | winapi::kKeyEventKeyUp)
                                : winapi::kKeyEventExtendedKey;
        input.time = 0;
        input.dwExtraInfo = 0;
        Require(RetryUntilSuccess(
                    p_, Pumping::kNo,
                    [&] {
                        return p_.SendInput(
                                   input, static_cast<std::int32_t>(winapi::kInputRecordSize)) != 0;
                    }),
                kInputRefusedMessage);
    }

    Platform& p_;
    const LauncherState& state_;
    const DriveTarget t_;
    const Point savedCursor_;
    const Rect savedClip_;
    Rect commandRect_{};
    Point click_{};
    bool cadAnswers_ = true;  // false once the CAD was seen not answering
    UndoStack undo_;
};

// The command line must be a live, visible window of the selected CAD's own process;
// its size is known only once a minimised CAD has been restored.
bool IsUsableCommandLine(Platform& p, const DriveTarget& t) {
    if (t.commandLine == 0 || !p.IsWindow(t.commandLine)) return false;
    if (t.commandOwner.processId != t.cad.processId) return false;
    if (!p.IsWindowVisible(t.commandLine)) return false;
    if (p.IsIconic(t.commandRoot)) return true;
    Rect r{};
    return p.GetWindowRect(t.commandLine, r) && !IsEmpty(r);
}

}  // namespace

DriveTarget ChooseDriveTarget(Platform& platform, const CadInstance* selected,
                              Hwnd foundCommandLine) {
    DriveTarget t;
    if (selected == nullptr || selected->MainWindow == 0) return t;
    t.main = selected->MainWindow;
    t.cad = platform.GetWindowThreadProcessId(t.main);
    if (platform.CompareProcessRights(t.cad.processId) == ProcessRights::kHigher) {
        t.check = DriveCheck::kHigherRights;
        return t;
    }
    // Bringing a window to the front and changing its z-order wait for its thread: a CAD
    // that has stopped answering would hold the launcher until it wakes, and then be
    // typed into long after the user has moved on. Ask first, touch nothing if not.
    if (!platform.IsWindowResponding(t.main, kRetryBoundMs)) {
        t.check = platform.IsWindow(t.main) ? DriveCheck::kNotAnswering : DriveCheck::kClosed;
        return t;
    }
    // A CAD may keep a hidden text window whose command line discovery met last: the one
    // the user can see, of the same CAD, is clicked instead.
    t.check = DriveCheck::kNoCommandLine;
    for (const Hwnd candidate :
         {foundCommandLine, selected->MainCommandLine, selected->TextCommandLine}) {
        DriveTarget c = t;
        c.commandLine = candidate;
        c.commandOwner = platform.GetWindowThreadProcessId(candidate);
        c.commandRoot = platform.GetRootWindow(candidate);
        if (!IsUsableCommandLine(platform, c)) continue;
        c.check = DriveCheck::kReady;
        return c;
    }
    t.commandLine = foundCommandLine;
    return t;
}

const wchar_t* RefusalMessage(DriveCheck check) {
    switch (check) {
        case DriveCheck::kReady:
            return nullptr;
        case DriveCheck::kNoCad:
            return kNoCadMessage;
        case DriveCheck::kHigherRights:
            return kCadElevatedMessage;
        case DriveCheck::kNotAnswering:
            return kCadNotRespondingMessage;
        case DriveCheck::kClosed:
            return kCadClosedMessage;
        case DriveCheck::kNoCommandLine:
            return kNoCommandLineMessage;
    }
    return kUnexpectedErrorMessage;
}

const wchar_t* RefusalTitle(DriveCheck check) {
    return check == DriveCheck::kNoCad ? kNoCadTitle : kAppTitle;
}

namespace {

// Drives the CAD; returns what the user is told when the sequence stopped, by then with
// everything put back, or nothing when the load command was delivered.
const wchar_t* DriveCad(Platform& platform, const LauncherState& state, const DriveTarget& target,
                        Point savedCursor, Rect savedClip) {
    try {
        LaunchSequence(platform, state, target, savedCursor, savedClip).Run();
        return nullptr;
    } catch (const LaunchStopped& stopped) {
        return stopped.message;
    } catch (...) {
        return kUnexpectedErrorMessage;
    }
}

}  // namespace

void LaunchInCad(Platform& platform, LauncherState& state, PickerHost& picker) {
    LoadStateSettings(platform, state);

    Point savedCursor{};
    Rect savedClip{};
    platform.GetCursorPos(savedCursor);
    platform.GetClipCursor(savedClip);

    FindCadInstancesAfterLoading(platform, state, picker);

    // Nothing selected, a CAD process none of whose windows was recognised, one we may
    // not drive or no command line to click: tell the user and touch nothing.
    const DriveTarget target = ChooseDriveTarget(
        platform, SelectedRecord(picker.cmbFileName(), state.table), state.FoundCommandLine);
    if (target.check != DriveCheck::kReady) {
        platform.MessageBox(RefusalMessage(target.check), RefusalTitle(target.check));
        return;
    }

    if (const wchar_t* failure = DriveCad(platform, state, target, savedCursor, savedClip))
        platform.MessageBox(failure, kAppTitle);
}

}  // namespace vorta
