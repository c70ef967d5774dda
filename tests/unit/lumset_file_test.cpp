// Writing Lumset.ini: the rewrite keeps every line but the changed keys' byte for byte,
// the launcher's own reader reads the new values back, and a save that fails leaves the
// old file as it was.
#include "launcher/assistant/lumset_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/text/text_format.h"
#include "launcher/text_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/memory_files.h"

namespace vorta::assistant {
namespace {

using testing::Cp932;
using testing::FakePlatform;
using testing::FromCp932;
using testing::MemoryFiles;

// Code page 932 as Windows converts: a character the code page lacks becomes "?"; a lead
// byte whose second byte is not one becomes "・" and takes that byte with it (as Wine's
// conversion does: the Win32 suite checks that its profile reader sees it so too).
class Codec : public FakePlatform {
  public:
    std::wstring FromAnsi(std::string_view bytes) const override {
        try {
            return FromCp932(bytes);
        } catch (const std::exception&) {
        }
        std::wstring out;
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t width =
                IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
            try {
                out += FromCp932(bytes.substr(i, width));
            } catch (const std::exception&) {
                out += L'・';
            }
            i += width;
        }
        return out;
    }
    std::string ToAnsi(std::wstring_view text) const override {
        std::string out;
        for (wchar_t c : text) {
            try {
                out += Cp932(std::wstring_view(&c, 1));
            } catch (const std::exception&) {
                out += '?';
            }
        }
        return out;
    }
};

LumsetChanges Changes(std::initializer_list<std::pair<SettingKey, std::wstring>> values) {
    LumsetChanges changes;
    for (const auto& [key, value] : values) changes[key] = value;
    return changes;
}

std::string Utf8(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string Utf16Le(std::wstring_view text) {
    std::string out = "\xFF\xFE";
    for (wchar_t c : text) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
    }
    return out;
}

// The system's profile reader as far as the saved files need it.
class ProfileReader : public Codec {
  public:
    ProfileReader() { profilesFromFiles = true; }
};

class Rewrite : public ::testing::Test {
  protected:
    std::optional<std::wstring> Read(const std::string& bytes, const wchar_t* key) {
        return ProfileValue(DecodeText(bytes, codec), L"Main", key);
    }
    Codec codec;
};

TEST_F(Rewrite, ChangesOnlyTheValuesOfTheChangedKeysInTheFirstMainSection) {
    // Comments whose double-byte characters end in 0x5C ("ソ", "表") and 0x5B ("ゼ" is
    // 0x83 0x5B), another section with the same key names, a second [Main] (never read),
    // a key spelt in lower case, a duplicate key (the first counts), and a LF-only line.
    const std::string old = Cp932(
        L"; ソフトの設定表 [ゼ]\r\n"
        L"[Other]\r\n"
        L"ACADName=keep\r\n"
        L"\r\n"
        L" [ main ] \r\n"
        L"acadname = acad\r\n"
        L"CommandCaption=コマンド ライン\r\n"
        L"MainCaption=AutoCAD 20\n"
        L"MainCaption=second\r\n"
        L"; 数値は &H でも書けます\r\n"
        L"MainCmdCtrlID=1001\r\n"
        L"\r\n"
        L"[Main]\r\n"
        L"TextCaption=never read\r\n");
    const std::optional<std::string> out = RewriteLumset(
        old,
        Changes({{kACADName, L"IJCAD"}, {kMainCaption, L"AutoCAD 20"}, {kMainCmdCtrlID, L"2001"}}),
        codec);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, Cp932(L"; ソフトの設定表 [ゼ]\r\n"
                          L"[Other]\r\n"
                          L"ACADName=keep\r\n"
                          L"\r\n"
                          L" [ main ] \r\n"
                          L"acadname =IJCAD\r\n"
                          L"CommandCaption=コマンド ライン\r\n"
                          L"MainCaption=AutoCAD 20\r\n"  // already so: kept
                          L"MainCaption=second\r\n"
                          L"; 数値は &H でも書けます\r\n"
                          L"MainCmdCtrlID=2001\r\n"
                          L"\r\n"
                          L"[Main]\r\n"
                          L"TextCaption=never read\r\n"));
}

TEST_F(Rewrite, MissingKeysGoAfterTheSectionsLastKeyAndAMissingSectionAtTheEnd) {
    const std::string withSection =
        Cp932(L"[Main]\r\nACADName=acad\r\n\r\n; 次の節の説明\r\n[Next]\r\nx=1\r\n");
    auto out = RewriteLumset(
        withSection, Changes({{kTextHistCtrlID, L"2004"}, {kCommandCaption, L"コマンド行"}}),
        codec);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, Cp932(L"[Main]\r\nACADName=acad\r\nCommandCaption=コマンド行\r\n"
                          L"TextHistCtrlID=2004\r\n\r\n; 次の節の説明\r\n[Next]\r\nx=1\r\n"));

    out = RewriteLumset("; only a comment", Changes({{kACADName, L"IJCAD"}}), codec);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, "; only a comment\r\n[Main]\r\nACADName=IJCAD\r\n");

    out = RewriteLumset("", Changes({{kACADName, L"IJCAD"}, {kMainCaption, L"IJCAD 20"}}), codec);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, "[Main]\r\nACADName=IJCAD\r\nMainCaption=IJCAD 20\r\n");
}

// A lead byte right before a lone LF or CR takes it along in the reader's conversion: the
// line goes on, and a [Main] after it is no section to the reader. The rewrite sees the
// lines as the reader does and keeps those bytes as they are.
TEST_F(Rewrite, ALineEndTakenIntoADoubleByteCharacterStaysAsItWas) {
    const std::string old =
        "[Other]\r\nk=x\x82\n[Main]\r\nACADName=hidden\r\nMainCaption=hidden\r\n"
        "c=\x82\r[Main]\r\nq=\x82\r\n[Main]\r\nACADName=acad\r\nMainCaption=AutoCAD 20\r\n";
    ProfileReader reader;
    ASSERT_EQ(reader.FromAnsi("k=\x82\n["), L"k=・[");
    const std::optional<std::string> out =
        RewriteLumset(old, Changes({{kACADName, L"IJCAD"}}), reader);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out,
              "[Other]\r\nk=x\x82\n[Main]\r\nACADName=hidden\r\nMainCaption=hidden\r\n"
              "c=\x82\r[Main]\r\nq=\x82\r\n[Main]\r\nACADName=IJCAD\r\nMainCaption=AutoCAD 20\r\n");
    reader.files[L"C:\\Lumset.ini"] = *out;
    const LauncherSettings read = LoadLauncherSettings(reader, L"C:\\");
    EXPECT_EQ(read.ACADName, L"IJCAD");
    EXPECT_EQ(read.MainCaption, L"AutoCAD 20");
}

TEST_F(Rewrite, NothingChangedGivesTheSameBytes) {
    const std::string old =
        Cp932(L"; 設定\r\n[Main]\r\nACADName = \"acad\"\r\nMainCmdCtrlID=1001\r\n");
    auto out =
        RewriteLumset(old, Changes({{kACADName, L"acad"}, {kMainCmdCtrlID, L"1001"}}), codec);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, old);
}

TEST_F(Rewrite, TheReaderGetsBackExactlyTheValuesWritten) {
    // Blanks at either end and enclosing quotes would be taken off by the reader: such a
    // value is written in quotes.
    const LumsetChanges changes = Changes({{kACADName, L"IJCAD"},
                                           {kCommandCaption, L" コマンド "},
                                           {kMainCaption, L"\"AutoCAD\""},
                                           {kTextCaption, L"IJCAD テキスト ウィンドウ"},
                                           {kMainCmdCtrlID, L"&H7D1"}});
    auto out = RewriteLumset(Cp932(L"[Main]\r\nCommandCaption=x\r\n"), changes, codec);
    ASSERT_TRUE(out);
    for (std::size_t k = 0; k < kSettingCount; ++k)
        if (changes[k]) {
            EXPECT_EQ(Read(*out, KeyName(k)), changes[k]) << Cp932(KeyName(k));
        }
}

TEST_F(Rewrite, FilesSavedAsUnicodeAreWrittenInTheCodePage) {
    const std::wstring text = L"; 設定\r\n[Main]\r\nACADName=acad\r\n";
    for (const std::string& old : {"\xEF\xBB\xBF" + Utf8(text), Utf16Le(text)}) {
        auto out = RewriteLumset(old, Changes({{kACADName, L"IJCAD"}}), codec);
        ASSERT_TRUE(out);
        EXPECT_EQ(*out, Cp932(L"; 設定\r\n[Main]\r\nACADName=IJCAD\r\n"));
    }
    // A character Shift_JIS lacks (é) would be lost: nothing is written.
    EXPECT_FALSE(
        RewriteLumset(Utf16Le(L"; café\r\n[Main]\r\n"), Changes({{kACADName, L"x"}}), codec));
}

// Every character of code page 932 that converts both ways: ASCII, half-width kana, and
// the double-byte characters (the rare kanji of lead bytes 0xE0-0xEF included).
const std::vector<std::wstring>& Cp932Characters() {
    static const std::vector<std::wstring> pool = [] {
        std::vector<std::wstring> out;
        auto add = [&](const std::string& bytes) {
            try {
                std::wstring c = FromCp932(bytes);
                if (c.size() == 1 && Cp932(c) == bytes) out.push_back(c);
            } catch (const std::exception&) {
            }
        };
        for (int b = 0x20; b < 0x7F; ++b) add(std::string(1, static_cast<char>(b)));
        for (int b = 0xA1; b <= 0xDF; ++b) add(std::string(1, static_cast<char>(b)));
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F) add({static_cast<char>(lead), static_cast<char>(trail)});
        }
        return out;
    }();
    return pool;
}

// Values of code page 932 characters, half-width kana (the bytes UTF-8 can take for its
// own) and rare kanji drawn often, written by the assistant into several kinds of file:
// the launcher's reader gets back each value as it was, whatever the value and the file.
TEST_F(Rewrite, GeneratedValuesReadBackAsThemselves) {
    const std::vector<std::wstring>& pool = Cp932Characters();
    std::vector<std::wstring> kana, rare;
    for (const std::wstring& c : pool) {
        const auto first = static_cast<unsigned char>(Cp932(c)[0]);
        if (first >= 0xA1 && first <= 0xDF) kana.push_back(c);
        if (first >= 0xE0) rare.push_back(c);
    }
    ASSERT_EQ(kana.size(), 63u);
    ASSERT_GT(rare.size(), 1000u);
    const std::string olds[] = {
        "", "[Main]\r\nACADName=acad\r\nTextCaption=x\r\n",
        Cp932(L"; 設定\r\n[Main]\r\nCommandCaption=コマンド ライン\r\n"),
        "\xEF\xBB\xBF[Main]\r\nMainCaption=\xE3\x83\x86\r\n",  // UTF-8 with its mark
    };
    const std::wstring folder = L"C:\\Vorta\\";
    std::mt19937 random(20261208);
    auto pick = [&](const std::vector<std::wstring>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    int written = 0, marked = 0;
    for (int round = 0; round < 3000; ++round) {
        std::wstring value;
        const int length = std::uniform_int_distribution<int>(1, 10)(random);
        for (int i = 0; i < length; ++i) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(random);
            value += pick(kind < 5 ? kana : kind < 7 ? rare : pool);
        }
        const auto key = static_cast<SettingKey>(round % 4);  // the four captions
        ProfileReader reader;
        if (ValueProblem(key, value, reader)) continue;
        LumsetChanges changes;
        changes[key] = value;
        const std::optional<std::string> out = RewriteLumset(olds[round % 4], changes, reader);
        ASSERT_TRUE(out);
        ASSERT_EQ(DetectEncoding(*out), TextEncoding::kAnsi) << HexBytes(*out);
        marked += out->starts_with(Cp932(L"; この"));
        reader.files[folder + L"Lumset.ini"] = *out;
        ASSERT_EQ(ReadSetting(reader, folder, L"Lumset", L"Main", KeyName(key), L"???"), value)
            << HexBytes(*out);
        ++written;
    }
    EXPECT_GT(written, 2500);
    EXPECT_GT(marked, 0);  // some values did pass for UTF-8 and were marked
}

// Integer values the assistant accepts are read back by the launcher as the same number:
// texts drawn from the characters of its number grammar and the blanks around it.
TEST_F(Rewrite, GeneratedIntegersTheAssistantAcceptsReadBackAsTheirNumber) {
    const std::wstring alphabet = L"0123456789+-.eEdD&hHoOfFx \t\f\v";
    std::mt19937 random(16);
    const std::wstring folder = L"C:\\Vorta\\";
    int accepted = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::wstring text;
        const int length = std::uniform_int_distribution<int>(1, 8)(random);
        for (int i = 0; i < length; ++i)
            text += alphabet[std::uniform_int_distribution<std::size_t>(
                0, alphabet.size() - 1)(random)];
        ProfileReader reader;
        if (ValueProblem(kMainCmdCtrlID, text, reader)) {
            ++refused;
            continue;
        }
        ++accepted;
        LumsetChanges changes;
        changes[kMainCmdCtrlID] = text;
        reader.files[folder + L"Lumset.ini"] = *RewriteLumset("", changes, reader);
        ASSERT_EQ(LoadLauncherSettings(reader, folder).MainCmdCtrlID, ParseSettingInteger(text))
            << Cp932(text);
        ASSERT_TRUE(IsWholeSettingInteger(text)) << Cp932(text);
    }
    EXPECT_GT(accepted, 1000);
    EXPECT_GT(refused, 1000);
}

TEST(ValueProblem, NamesWhatKeepsAValueFromBeingWritten) {
    Codec codec;
    EXPECT_FALSE(ValueProblem(kMainCmdCtrlID, L"1001", codec));
    EXPECT_FALSE(ValueProblem(kMainCmdCtrlID, L"&H3E9", codec));
    EXPECT_FALSE(ValueProblem(kMainCmdCtrlID, L"-1", codec));
    EXPECT_FALSE(ValueProblem(kMainCmdCtrlID, L" 1 0\t01 ", codec));  // the launcher's 1001
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"", codec));
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"10a", codec));
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"&H", codec));
    // Blanks the profile reader drops but the launcher's number does not skip: read as 0.
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"\f12", codec));
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"\v12", codec));
    // Longer than the reader reads: cut to "-000...0", which is 0.
    EXPECT_FALSE(ValueProblem(kMainCmdCtrlID, L"-" + std::wstring(252, L'0') + L"1", codec));
    EXPECT_TRUE(ValueProblem(kMainCmdCtrlID, L"-" + std::wstring(253, L'0') + L"1", codec));
    EXPECT_FALSE(ValueProblem(kMainCaption, L"AutoCAD 20", codec));
    EXPECT_TRUE(ValueProblem(kMainCaption, L"", codec));
    EXPECT_TRUE(ValueProblem(kMainCaption, L"a\r\nb", codec));
    EXPECT_TRUE(ValueProblem(kMainCaption, L"café", codec));
    EXPECT_FALSE(ValueProblem(kMainCaption, std::wstring(127, L'あ'), codec));  // 254 bytes
    EXPECT_TRUE(ValueProblem(kMainCaption, std::wstring(128, L'あ'), codec));
    EXPECT_TRUE(ValueProblem(kMainCaption, L" " + std::wstring(126, L'あ'), codec));  // quoted
}

// --- Saving

class Save : public ::testing::Test {
  protected:
    const std::wstring folder = L"C:\\Program Files\\Vorta\\";
    const std::wstring ini = folder + L"Lumset.ini";
    const std::string old = Cp932(L"; 出荷時\r\n[Main]\r\nACADName=acad\r\n");
    const LumsetChanges changes = Changes({{kACADName, L"IJCAD"}});
    Codec codec;
    std::map<std::wstring, std::string> store;
    MemoryFiles files{store};
};

TEST_F(Save, WritesATemporaryFileKeepsTheOldAsBakThenRenames) {
    files.files[ini] = old;
    const SaveOutcome outcome = SaveLumset(files, codec, folder, changes);
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(files.steps, (std::vector<std::string>{"read", "write", "backup", "rename"}));
    EXPECT_EQ(files.files[ini], Cp932(L"; 出荷時\r\n[Main]\r\nACADName=IJCAD\r\n"));
    EXPECT_EQ(files.files[folder + L"Lumset.ini.bak"], old);
    EXPECT_EQ(files.files.count(folder + L"Lumset.ini.tmp"), 0u);
    EXPECT_NE(outcome.message.find(L"Lumset.ini.bak"), std::wstring::npos);
}

TEST_F(Save, ANewFileNeedsNoBackup) {
    const SaveOutcome outcome = SaveLumset(files, codec, L"D:\\", changes);
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(files.files[L"D:\\Lumset.ini"], "[Main]\r\nACADName=IJCAD\r\n");
    EXPECT_EQ(files.files.count(L"D:\\Lumset.ini.bak"), 0u);
    EXPECT_NE(outcome.message.find(L"フォルダ「D:\\」"), std::wstring::npos);
}

TEST_F(Save, AFolderThatCannotBeWrittenIsNamedAndTheOldFileStays) {
    files.files[ini] = old;
    files.readOnlyFolder = true;
    const SaveOutcome outcome = SaveLumset(files, codec, folder, changes);
    EXPECT_FALSE(outcome.saved);
    EXPECT_NE(outcome.message.find(L"フォルダ「C:\\Program Files\\Vorta」に書き込めない"),
              std::wstring::npos)
        << testing::Cp932(outcome.message);
    EXPECT_NE(outcome.message.find(L"元の Lumset.ini はそのままです"), std::wstring::npos);
    EXPECT_EQ(files.files, (std::map<std::wstring, std::string>{{ini, old}}));
}

TEST_F(Save, AnyStepThatFailsLeavesTheOldFileAndNoTemporaryFile) {
    const FileResult diskFull{FileStatus::kFailed, 112, L"ディスクの空き領域が不足しています。"};
    for (const char* step : {"read", "write", "backup", "rename"}) {
        std::map<std::wstring, std::string> disk;
        MemoryFiles memory{disk};
        memory.files[ini] = old;
        memory.failing[step] = diskFull;
        const SaveOutcome outcome = SaveLumset(memory, codec, folder, changes);
        EXPECT_FALSE(outcome.saved) << step;
        EXPECT_EQ(memory.files[ini], old) << step;
        EXPECT_EQ(memory.files.count(folder + L"Lumset.ini.tmp"), 0u) << step;
        EXPECT_NE(outcome.message.find(L"元の Lumset.ini はそのままです"), std::wstring::npos)
            << step;
        // The system's text inside our sentence, without its own 「。」.
        EXPECT_NE(outcome.message.find(L"（エラー 112：ディスクの空き領域が不足しています）。"),
                  std::wstring::npos)
            << Cp932(outcome.message);
    }
}

// Each failure names its own cause and file; the Program Files hint only goes with a
// folder that may not be written.
TEST_F(Save, TheMessageNamesTheRealCause) {
    struct Case {
        const char* step;
        FileResult result;
        const wchar_t* said;
    };
    const Case cases[] = {
        {"rename",
         {FileStatus::kReadOnly, 5, L"アクセスが拒否されました。"},
         L"Lumset.ini が読み取り専用になっているため、Lumset.ini を保存できませんでした（エラー 5："
         L"アクセスが拒否されました）。"},
        {"write",
         {FileStatus::kIsFolder, 5, L"アクセスが拒否されました。"},
         L"フォルダ「C:\\Program Files\\Vorta」に Lumset.ini.tmp という名前のフォルダがあるため"},
        {"backup",
         {FileStatus::kInUse, 32, L"プロセスはファイルにアクセスできません。"},
         L"Lumset.ini.bak をほかのプログラムが使っているため"},
        {"read",
         {FileStatus::kFailed, 1117, {}},
         L"フォルダ「C:\\Program Files\\Vorta」の Lumset.ini を読めなかったため、保存をやめました"
         L"（エラー 1117）。"},
        {"rename",
         {FileStatus::kAccessDenied, 5, {}},
         L"フォルダ「C:\\Program Files\\Vorta」の Lumset.ini を書き換える権限がないため"},
    };
    for (const Case& c : cases) {
        std::map<std::wstring, std::string> disk;
        MemoryFiles memory{disk};
        memory.files[ini] = old;
        memory.failing[c.step] = c.result;
        const std::wstring message = SaveLumset(memory, codec, folder, changes).message;
        EXPECT_NE(message.find(c.said), std::wstring::npos) << Cp932(message);
        EXPECT_EQ(message.find(L"。）"), std::wstring::npos) << Cp932(message);
        EXPECT_EQ(message.find(L"Program Files の中など") != std::wstring::npos,
                  c.result.status == FileStatus::kAccessDenied)
            << Cp932(message);
    }
}

// A read-only Lumset.ini stops the save at the rename and says so; once the user clears
// the attribute, the next save succeeds (the backup written before is no obstacle).
TEST_F(Save, AReadOnlySettingsFileIsToldAndTheNextSaveWorks) {
    files.files[ini] = old;
    files.readOnly.insert(ini);
    SaveOutcome outcome = SaveLumset(files, codec, folder, changes);
    EXPECT_FALSE(outcome.saved);
    EXPECT_NE(outcome.message.find(L"Lumset.ini が読み取り専用"), std::wstring::npos);
    EXPECT_EQ(files.files[ini], old);
    files.readOnly.clear();
    outcome = SaveLumset(files, codec, folder, changes);
    EXPECT_TRUE(outcome.saved) << Cp932(outcome.message);
    EXPECT_EQ(files.files[folder + L"Lumset.ini.bak"], old);
}

// The numbers and patterns the save messages are made of (the installer's error numbers
// too): the extremes of each width, and a "%" that names no given value left as written.
TEST(TextFormat, WritesNumbersAtTheirLimitsAndFillsOnlyGivenValues) {
    EXPECT_EQ(DecimalText(0), L"0");
    EXPECT_EQ(DecimalText(-1), L"-1");
    EXPECT_EQ(DecimalText(INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(DecimalText(INT64_MAX), L"9223372036854775807");
    EXPECT_EQ(DecimalText(UINT32_MAX), L"4294967295");
    EXPECT_EQ(HexText(0), L"0x00000000");
    EXPECT_EQ(HexText(0x800705B4u), L"0x800705B4");
    EXPECT_EQ(HexText(UINT32_MAX), L"0xFFFFFFFF");
    EXPECT_EQ(Fill(L"%2、%1", {L"a", L"b"}), L"b、a");
    EXPECT_EQ(Fill(L"%3 %0 %% 100%", {L"a", L"b"}), L"%3 %0 %% 100%");
    EXPECT_EQ(Fill(L"%1%1", {L"%2", L"x"}), L"%2%2");
}

}  // namespace
}  // namespace vorta::assistant
