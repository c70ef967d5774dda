#include "installer/install_sequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "installer/file_list.h"

namespace vorta::setup {
namespace {

// Records every platform step in order and keeps the destination folder as a map from path
// to content: a file copied whole holds "whole:" and its source path. Copies fail for the
// sources in failing_copies before writing anything, and for those in partial_copies after
// writing part of the file (a full disk); renames onto the paths in failing_renames fail.
class FakePlatform : public InstallPlatform {
  public:
    std::wstring destination = L"D:\\Tools\\Vorta";
    std::wstring installer_folder = L"C:\\Users\\user\\Downloads\\vorta-1.0.0";
    std::map<std::wstring, StepError> failing_copies;   // by source path
    std::map<std::wstring, StepError> partial_copies;   // by source path
    std::map<std::wstring, StepError> failing_renames;  // by destination path
    std::optional<StepError> open_failure;
    std::function<void(int copies_so_far)> on_events;  // clicks arriving between copies

    std::vector<std::wstring> log;
    std::map<std::wstring, std::wstring> files;                 // the destination folder
    std::vector<std::pair<std::wstring, std::wstring>> copies;  // arrived whole, in order
    std::vector<std::wstring> written;  // every copy's and rename's target, in order
    std::vector<std::wstring> messages;
    std::vector<std::wstring> opened;
    int pick_calls = 0;

    std::wstring PickInstallFolder() override {
        ++pick_calls;
        log.push_back(L"pick");
        return destination;
    }
    std::wstring InstallerFolder() override { return installer_folder; }
    StepResult CopyToFile(const std::wstring& source, const std::wstring& target) override {
        log.push_back(L"copy");
        written.push_back(target);
        if (const auto failure = failing_copies.find(source); failure != failing_copies.end()) {
            return failure->second;
        }
        if (const auto failure = partial_copies.find(source); failure != partial_copies.end()) {
            files[target] = L"part of " + source;
            return failure->second;
        }
        files[target] = L"whole:" + source;
        return std::nullopt;
    }
    StepResult RenameOver(const std::wstring& from, const std::wstring& to) override {
        log.push_back(L"rename");
        written.push_back(to);
        if (const auto failure = failing_renames.find(to); failure != failing_renames.end()) {
            return failure->second;
        }
        const auto file = files.find(from);
        if (file == files.end()) return StepError{StepError::Kind::kWin32, 2, L"no such file"};
        const std::wstring content = file->second;
        files.erase(file);
        files[to] = content;
        if (content.starts_with(L"whole:")) copies.emplace_back(content.substr(6), to);
        return std::nullopt;
    }
    void RemoveFile(const std::wstring& path) override {
        log.push_back(L"remove");
        files.erase(path);
    }
    void ProcessPendingEvents() override {
        log.push_back(L"events");
        if (on_events) on_events(static_cast<int>(copies.size()));
    }
    void ShowMessage(const std::wstring& text) override {
        log.push_back(L"message");
        messages.push_back(text);
    }
    StepResult OpenDocument(const std::wstring& path) override {
        log.push_back(L"open");
        opened.push_back(path);
        return open_failure;
    }
};

const std::function<bool()> kNeverStop = [] { return false; };

// Only the files copied before the failure are in the destination, each whole.
void ExpectOnlyTheFirstFilesWhole(const FakePlatform& platform, size_t count) {
    std::map<std::wstring, std::wstring> expected;
    for (size_t i = 0; i < count; ++i) {
        expected[platform.destination + InstallFileList[i].data()] =
            L"whole:" + platform.installer_folder + InstallFileList[i].data();
    }
    EXPECT_EQ(platform.files, expected);
}

TEST(FolderDialogBuffer, GivesTheTextBeforeTheFirstNulOrNothing) {
    EXPECT_EQ(TextBeforeFirstNul(std::wstring(L"C:\\Vorta\0\0garbage", 17)), L"C:\\Vorta");
    EXPECT_EQ(TextBeforeFirstNul(std::wstring(260, L'\0')), L"");
    EXPECT_EQ(TextBeforeFirstNul(L"no terminator"), L"");
}

TEST(InstallSequence, CancelledDialogDoesNothingAtAll) {
    FakePlatform platform;
    platform.destination.clear();
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kNoFolder);
    EXPECT_EQ(platform.log, std::vector<std::wstring>{L"pick"});
}

TEST(InstallSequence, CopiesTenFilesThenReportsThenOpensTheGuide) {
    FakePlatform platform;
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kInstalled);

    ASSERT_EQ(platform.copies.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(platform.copies[i].first, platform.installer_folder + InstallFileList[i].data());
        EXPECT_EQ(platform.copies[i].second, platform.destination + InstallFileList[i].data());
    }
    // Each file is renamed into place once copied, and nothing else is left in the folder.
    std::map<std::wstring, std::wstring> expected_files;
    for (const std::wstring_view name : InstallFileList) {
        expected_files[platform.destination + name.data()] =
            L"whole:" + platform.installer_folder + name.data();
    }
    EXPECT_EQ(platform.files, expected_files);
    // Events are processed after every copy; the box comes before the guide.
    std::vector<std::wstring> expected_log = {L"pick"};
    for (int i = 0; i < 10; ++i) {
        expected_log.push_back(L"copy");
        expected_log.push_back(L"rename");
        expected_log.push_back(L"events");
    }
    expected_log.push_back(L"message");
    expected_log.push_back(L"open");
    EXPECT_EQ(platform.log, expected_log);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0],
              L"\u30A4\u30F3\u30B9\u30C8\u30FC\u30EB\u7D42\u4E86\u3000iJ-CAD\u306E\u8A2D\u5B9A"
              L"\u306F\u8868\u793A\u3055\u308C\u305FPDF\u3092\u53C2\u7167\u3057\u3066\u304F"
              L"\u3060\u3055\u3044\u3002");
    EXPECT_EQ(platform.opened,
              std::vector<std::wstring>{
                  L"D:\\Tools\\Vorta\\IJCAD-\u30F4\u30A9\u30EB\u30BF_\u30A4\u30F3\u30B9\u30C8"
                  L"\u30FC\u30EB.pdf"});
}

TEST(InstallSequence, DriveRootsGiveDoubleBackslashesOnBothSides) {
    FakePlatform platform;
    platform.destination = L"E:\\";
    platform.installer_folder = L"F:\\";
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kInstalled);
    ASSERT_FALSE(platform.copies.empty());
    EXPECT_EQ(platform.copies[0].first, L"F:\\\\vta_connect.exe");
    EXPECT_EQ(platform.copies[0].second, L"E:\\\\vta_connect.exe");
    ASSERT_EQ(platform.opened.size(), 1u);
    EXPECT_EQ(platform.opened[0].substr(0, 10), L"E:\\\\IJCAD-");
}

// Everything the sequence writes, its temporary copies too, lies right inside the chosen
// folder: the folder, one backslash of the name, the name. A drive root keeps its own
// backslash, so there the paths hold two in a row.
TEST(InstallSequence, WritesOnlyRightInsideTheChosenFolderEvenAtADriveRoot) {
    for (const std::wstring folder : {L"D:\\Tools\\Vorta", L"E:\\"}) {
        FakePlatform platform;
        platform.destination = folder;
        EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kInstalled);
        EXPECT_EQ(platform.written.size(), 20u);
        for (const std::wstring& path : platform.written) {
            EXPECT_TRUE(path.starts_with(folder + L"\\") &&
                        path.find(L'\\', folder.size() + 1) == std::wstring::npos)
                << path;
        }
    }
}

TEST(InstallSequence, FifthFileMissingStopsAfterFourCopiesWithTheErrorReport) {
    FakePlatform platform;
    platform.failing_copies[platform.installer_folder + L"\\vorta_install_dir.lsp"] =
        StepError{StepError::Kind::kWin32, 2,
                  L"\u6307\u5B9A\u3055\u308C\u305F\u30D5\u30A1\u30A4"
                  L"\u30EB\u304C\u898B\u3064\u304B\u308A\u307E\u305B"
                  L"\u3093\u3002"};
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kFailed);
    ExpectOnlyTheFirstFilesWhole(platform, 4);
    ASSERT_EQ(platform.messages.size(), 1u);  // the error report, no completion box
    EXPECT_NE(platform.messages[0].find(L"2"), std::wstring::npos);
    EXPECT_NE(platform.messages[0].find(L"\u6307\u5B9A\u3055\u308C\u305F"), std::wstring::npos);
    EXPECT_EQ(platform.messages[0].find(std::wstring(kCompletionMessage)), std::wstring::npos);
    EXPECT_TRUE(platform.opened.empty());
}

TEST(InstallSequence, DiskFullDuringTheGuideLeavesNoPartOfItBehind) {
    FakePlatform platform;
    const std::wstring disk_full =
        L"\u30C7\u30A3\u30B9\u30AF\u306B\u7A7A\u304D\u9818\u57DF"
        L"\u304C\u8DB3\u308A\u307E\u305B\u3093\u3002";
    platform.partial_copies[platform.installer_folder + kGuideName.data()] =
        StepError{StepError::Kind::kWin32, 112, disk_full};
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kFailed);
    ExpectOnlyTheFirstFilesWhole(platform, 8);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], ErrorReportText({StepError::Kind::kWin32, 112, disk_full}));
    EXPECT_TRUE(platform.opened.empty());
}

TEST(InstallSequence, RefusedRenameKeepsTheOlderFileAndRemovesTheCopy) {
    FakePlatform platform;
    const std::wstring launcher = platform.destination + L"\\vortastart.exe";
    platform.files[launcher] = L"an older launcher";
    platform.failing_renames[launcher] = StepError{StepError::Kind::kWin32, 5, L"Access denied."};
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kFailed);
    EXPECT_EQ(platform.copies.size(), 6u);
    EXPECT_EQ(platform.files.size(), 7u);  // the six new ones and the older launcher
    EXPECT_EQ(platform.files[launcher], L"an older launcher");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find(L": 5\n"), std::wstring::npos);
}

// Every file is installed: the box says so and that only the guide did not open, never
// that the installation was stopped.
TEST(InstallSequence, AGuideThatDoesNotOpenIsToldAsSuchAfterTheCompletionBox) {
    FakePlatform platform;
    platform.open_failure = StepError{StepError::Kind::kCom, 0x800401F3u, L"Invalid class string"};
    EXPECT_EQ(RunInstallSequence(platform, kNeverStop), InstallOutcome::kGuideNotOpened);
    EXPECT_EQ(platform.copies.size(), 10u);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0], std::wstring(kCompletionMessage));
    EXPECT_TRUE(platform.messages[1].starts_with(
        L"インストールは完了しましたが、説明書を開けませんでした。インストール先のフォルダの "
        L"IJCAD-ヴォルタ_インストール.pdf を開いてください。\n\nエラー番号: 0x800401F3\n"))
        << platform.messages[1].size();
    EXPECT_EQ(platform.messages[1].find(L"中止"), std::wstring::npos);
    EXPECT_NE(platform.messages[1].find(L"Invalid class string。"), std::wstring::npos);
}

TEST(ErrorReport, GivesWin32NumbersInDecimalAndComNumbersInHex) {
    const std::wstring win32 = ErrorReportText({StepError::Kind::kWin32, 1392, L"Access denied."});
    EXPECT_NE(win32.find(L": 1392\n"), std::wstring::npos);
    EXPECT_NE(win32.find(L"Access denied."), std::wstring::npos);
    const std::wstring com = ErrorReportText({StepError::Kind::kCom, 0x80070005u, L""});
    EXPECT_NE(com.find(L"0x80070005"), std::wstring::npos);
    // An error without system text still says something.
    EXPECT_NE(com.find(L"\u4E0D\u660E"), std::wstring::npos);
}

// The system's description ends in exactly one full stop: its own, or one of ours.
TEST(ErrorReport, TheSystemsDescriptionEndsInOneFullStop) {
    const std::wstring own =
        ErrorReportText({StepError::Kind::kWin32, 5, L"アクセスが拒否されました。\r\n"});
    EXPECT_TRUE(own.ends_with(L"\n説明: アクセスが拒否されました。")) << own.size();
    const std::wstring none = ErrorReportText({StepError::Kind::kWin32, 5, L"アクセス拒否"});
    EXPECT_TRUE(none.ends_with(L"\n説明: アクセス拒否。"));
}

TEST(InstallerController, CancelWhileWaitingEndsAtOnce) {
    FakePlatform platform;
    InstallerController controller(platform);
    EXPECT_EQ(controller.OnCancelClick(), InstallerController::Action::kEnd);
    EXPECT_EQ(controller.OnClose(), InstallerController::Action::kEnd);
    EXPECT_TRUE(platform.log.empty());
}

TEST(InstallerController, CancelBetweenCopiesStopsThereAndEndsSilently) {
    FakePlatform platform;
    InstallerController controller(platform);
    platform.on_events = [&](int copies) {
        if (copies == 3) {
            EXPECT_EQ(controller.OnCancelClick(), InstallerController::Action::kKeep);
        }
    };
    EXPECT_EQ(controller.OnInstallClick(), InstallerController::Action::kEnd);
    EXPECT_EQ(controller.Outcome(), InstallOutcome::kInterrupted);
    EXPECT_EQ(platform.copies.size(), 3u);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(platform.opened.empty());
}

TEST(InstallerController, CloseBoxBetweenCopiesStopsLikeCancel) {
    FakePlatform platform;
    InstallerController controller(platform);
    platform.on_events = [&](int copies) {
        if (copies == 7) {
            EXPECT_EQ(controller.OnClose(), InstallerController::Action::kKeep);
        }
    };
    EXPECT_EQ(controller.OnInstallClick(), InstallerController::Action::kEnd);
    EXPECT_EQ(controller.Outcome(), InstallOutcome::kInterrupted);
    EXPECT_EQ(platform.copies.size(), 7u);
}

TEST(InstallerController, SecondInstallClickWhileCopyingIsIgnored) {
    FakePlatform platform;
    InstallerController controller(platform);
    platform.on_events = [&](int copies) {
        if (copies == 2) {
            EXPECT_TRUE(controller.Installing());
            EXPECT_EQ(controller.OnInstallClick(), InstallerController::Action::kKeep);
        }
    };
    EXPECT_EQ(controller.OnInstallClick(), InstallerController::Action::kEnd);
    EXPECT_EQ(controller.Outcome(), InstallOutcome::kInstalled);
    EXPECT_EQ(platform.pick_calls, 1);
    EXPECT_EQ(platform.copies.size(), 10u);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.opened.size(), 1u);
}

}  // namespace
}  // namespace vorta::setup
