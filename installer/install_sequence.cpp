#include "installer/install_sequence.h"

#include <cstdint>

#include "common/text/system_message.h"
#include "common/text/text_format.h"
#include "installer/file_list.h"

namespace vorta::setup {

namespace {

// The error number as the box shows it: an HRESULT in hexadecimal ("0x800705B4"), a
// Win32 code in decimal.
std::wstring ErrorNumberText(const StepError& error) {
    const auto code = static_cast<std::uint32_t>(error.code);
    return error.kind == StepError::Kind::kCom ? vorta::HexText(code) : vorta::DecimalText(code);
}

// The error's number and the system's description, below the first line.
std::wstring ErrorLines(const StepError& error) {
    const std::wstring description = vorta::SystemMessageSentence(error.description);
    return L"\n\nエラー番号: " + ErrorNumberText(error) + L"\n説明: " +
           (description.empty() ? std::wstring(L"不明なエラーです。") : description);
}

}  // namespace

std::wstring ErrorReportText(const StepError& error) {
    return L"エラーのため、インストールを中止しました。" + ErrorLines(error);
}

std::wstring GuideNotOpenedText(const StepError& error) {
    return std::wstring(kGuideNotOpenedMessage) + ErrorLines(error);
}

namespace {

// Each file is copied under this name in the destination folder (so that the rename stays on
// one volume) and takes its own name only once the copy is complete. It is shorter than the
// longest name of the list, so it never makes a path too long that would otherwise fit.
constexpr std::wstring_view kTemporaryName = L"\\vortasetup.tmp";

StepResult CopyWholeFile(InstallPlatform& platform, const std::wstring& source,
                         const std::wstring& destinationFolder, std::wstring_view name) {
    const std::wstring temporary = JoinPath(destinationFolder, kTemporaryName);
    StepResult failure = platform.CopyToFile(source, temporary);
    if (!failure) failure = platform.RenameOver(temporary, JoinPath(destinationFolder, name));
    if (failure) platform.RemoveFile(temporary);
    return failure;
}

}  // namespace

InstallOutcome RunInstallSequence(InstallPlatform& platform,
                                  const std::function<bool()>& stopRequested) {
    const std::wstring destination = platform.PickInstallFolder();
    if (destination.empty()) return InstallOutcome::kNoFolder;

    const std::wstring source = platform.InstallerFolder();
    for (const std::wstring_view name : InstallFileList) {
        if (const StepResult failure =
                CopyWholeFile(platform, JoinPath(source, name), destination, name)) {
            platform.ShowMessage(ErrorReportText(*failure));
            return InstallOutcome::kFailed;
        }
        platform.ProcessPendingEvents();
        if (stopRequested && stopRequested()) return InstallOutcome::kInterrupted;
    }

    platform.ShowMessage(std::wstring(kCompletionMessage));
    // Every file is in place by now: only the guide did not open.
    if (const StepResult failure = platform.OpenDocument(JoinPath(destination, kGuideName))) {
        platform.ShowMessage(GuideNotOpenedText(*failure));
        return InstallOutcome::kGuideNotOpened;
    }
    return InstallOutcome::kInstalled;
}

InstallerController::Action InstallerController::OnInstallClick() {
    if (installing_) return Action::kKeep;
    installing_ = true;
    outcome_ = RunInstallSequence(platform_, [this] { return stopRequested_; });
    installing_ = false;
    return Action::kEnd;
}

InstallerController::Action InstallerController::OnCancelClick() {
    if (!installing_) return Action::kEnd;
    stopRequested_ = true;
    return Action::kKeep;
}

}  // namespace vorta::setup
