// The install sequence behind the "インストール" button, written against a narrow platform
// interface so that it runs the same on Windows and against a fake in the unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorta::setup {

// A failing platform step: a Win32 error code (GetLastError) or a COM HRESULT, with the
// system's text for it.
struct StepError {
    enum class Kind { kWin32, kCom };
    Kind kind = Kind::kWin32;
    std::uint32_t code = 0;
    std::wstring description;
};
using StepResult = std::optional<StepError>;

class InstallPlatform {
  public:
    virtual ~InstallPlatform() = default;
    // The folder dialog: the chosen folder's path, or empty text.
    virtual std::wstring PickInstallFolder() = 0;
    // The folder of the running installer, without a trailing backslash unless a drive root.
    virtual std::wstring InstallerFolder() = 0;
    // Copies a file, replacing a file of the same name. A copy that fails halfway (a full
    // disk) may leave part of the file behind.
    virtual StepResult CopyToFile(const std::wstring& source, const std::wstring& target) = 0;
    // Gives a file a new name in the same folder, replacing a file of that name.
    virtual StepResult RenameOver(const std::wstring& from, const std::wstring& to) = 0;
    // Deletes a file, read-only or not. A file that cannot be deleted stays.
    virtual void RemoveFile(const std::wstring& path) = 0;
    // Lets the window repaint and run its button handlers.
    virtual void ProcessPendingEvents() = 0;
    // A modal box with OK only, no icon, titled with the installer's name.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // Opens a document with its associated program through "Shell.Application", with the
    // user's own rights even when the installer runs elevated.
    virtual StepResult OpenDocument(const std::wstring& path) = 0;
};

inline constexpr std::wstring_view kCompletionMessage =
    L"インストール終了\u3000iJ-CADの設定は表示されたPDFを参照してください。";
// After a complete installation, when only the guide did not open.
inline constexpr std::wstring_view kGuideNotOpenedMessage =
    L"インストールは完了しましたが、説明書を開けませんでした。"
    L"インストール先のフォルダの IJCAD-ヴォルタ_インストール.pdf を開いてください。";

enum class InstallOutcome {
    kNoFolder,        // the dialog was cancelled or gave no path: nothing happened
    kInstalled,       // ten copies, completion box, guide opened
    kFailed,          // a step failed; its report was shown
    kGuideNotOpened,  // ten copies, completion box, then the guide did not open: told
    kInterrupted,     // the user asked to end between two copies
};

// The text of the box that reports a failing step: its number and the system's description
// (one 「。」 at its end, whether the system wrote one or not).
std::wstring ErrorReportText(const StepError& error);
// The text of the box that reports, after a complete installation, that the guide did not
// open: kGuideNotOpenedMessage, then the number and the description as above.
std::wstring GuideNotOpenedText(const StepError& error);

// Runs the whole sequence. Each file arrives whole or not at all: a failing copy leaves
// neither part of the file nor anything else behind, and a file of that name already in the
// destination stays as it was. stopRequested is asked after each copy's event processing;
// when it answers true the sequence stops there without any message. The caller ends the
// program whatever the outcome.
InstallOutcome RunInstallSequence(InstallPlatform& platform,
                                  const std::function<bool()>& stopRequested);

// Decides what the window's events do while it waits and while it installs.
class InstallerController {
  public:
    enum class Action { kKeep, kEnd };

    explicit InstallerController(InstallPlatform& platform) : platform_(platform) {}

    // "インストール": runs the sequence and asks to end. A second click while the sequence
    // runs (it arrives through the event processing between copies) is ignored.
    Action OnInstallClick();
    // "キャンセル" and the close box: end at once while waiting; while copying, the sequence
    // stops between two copies and then the program ends.
    Action OnCancelClick();
    Action OnClose() { return OnCancelClick(); }

    bool Installing() const { return installing_; }
    std::optional<InstallOutcome> Outcome() const { return outcome_; }

  private:
    InstallPlatform& platform_;
    bool installing_ = false;
    bool stopRequested_ = false;
    std::optional<InstallOutcome> outcome_;
};

}  // namespace vorta::setup
