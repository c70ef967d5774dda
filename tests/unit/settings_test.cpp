#include "launcher/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/text_file.h"
#include "tests/support/fake_platform.h"

namespace vorta {
namespace {

using testing::Cp932;
using testing::FakePlatform;

TEST(SettingInteger, ReadsFromTheStartLikeABasicVal) {
    EXPECT_EQ(ParseSettingInteger(L"12abc"), 12);
    EXPECT_EQ(ParseSettingInteger(L""), 0);
    EXPECT_EQ(ParseSettingInteger(L"abc"), 0);
    EXPECT_EQ(ParseSettingInteger(L" 1 2 "), 12);
    EXPECT_EQ(ParseSettingInteger(L"1\t0\n0"), 100);
    EXPECT_EQ(ParseSettingInteger(L"-42"), -42);
    EXPECT_EQ(ParseSettingInteger(L"+7"), 7);
    EXPECT_EQ(ParseSettingInteger(L"&H1F"), 31);
    EXPECT_EQ(ParseSettingInteger(L"&hff"), 255);
    EXPECT_EQ(ParseSettingInteger(L"&O17"), 15);
    EXPECT_EQ(ParseSettingInteger(L"&O19"), 1);  // 9 cannot continue an octal number
    EXPECT_EQ(ParseSettingInteger(L"&X12"), 0);
    EXPECT_EQ(ParseSettingInteger(L"1.5.5"), 2);  // only one point
    EXPECT_EQ(ParseSettingInteger(L"2.5"), 2);
    EXPECT_EQ(ParseSettingInteger(L"3.5"), 4);
    EXPECT_EQ(ParseSettingInteger(L"1E3"), 1000);
    EXPECT_EQ(ParseSettingInteger(L"1D3"), 1000);
    EXPECT_EQ(ParseSettingInteger(L"15E"), 15);
    EXPECT_EQ(ParseSettingInteger(L"1e-400"), 0);
}

// The numbers that take the whole text: what the settings assistant accepts.
TEST(SettingInteger, WholeWhenNothingButBlanksStandsAroundTheNumber) {
    for (const wchar_t* whole : {L"12", L" 1 2 ", L"-42", L"+7", L"&H1F", L"&o17", L"2.5", L"1E3",
                                 L"1d-3", L".5", L"5.", L"\n12\t", L"99999999999"})
        EXPECT_TRUE(IsWholeSettingInteger(whole)) << Cp932(whole);
    for (const wchar_t* part : {L"", L" ", L"12abc", L"&H", L"&O19", L"&X12", L"1.5.5", L"15E",
                                L"1E+", L"-", L".", L"\f12", L"12\v", L"\u300012", L"１２"})
        EXPECT_FALSE(IsWholeSettingInteger(part)) << Cp932(part);
}

TEST(SettingInteger, SaturatesBeyond32Bits) {
    EXPECT_EQ(ParseSettingInteger(L"2147483647"), 2147483647);
    EXPECT_EQ(ParseSettingInteger(L"2147483648"), 2147483647);
    EXPECT_EQ(ParseSettingInteger(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseSettingInteger(L"-99999999999999"), -2147483647 - 1);
    EXPECT_EQ(ParseSettingInteger(L"1e999"), 2147483647);
    // Beyond any double: its digits decide between huge and about zero, not the
    // exponent's sign.
    EXPECT_EQ(ParseSettingInteger(L"1" + std::wstring(309, L'0') + L"e-0"), 2147483647);
    EXPECT_EQ(ParseSettingInteger(L"-." + std::wstring(324, L'0') + L"1e+1"), 0);
    EXPECT_EQ(ParseSettingInteger(L"&HFFFFFFFFFFFFFFFFFFFF"), 2147483647);
}

class SettingsFile : public ::testing::Test {
  protected:
    FakePlatform platform;
    const std::wstring ini = L"C:\\Tools\\ヴォルタ\\Lumset.ini";
};

// Each key lands in its own field: a file holding all eight, each with a value of its own,
// and a file holding none, which gives the defaults.
TEST_F(SettingsFile, EachOfTheEightKeysFillsItsOwnFieldOrItsDefault) {
    LauncherSettings s = LoadLauncherSettings(platform, L"C:\\Tools\\ヴォルタ\\");
    EXPECT_EQ(s.ACADName, L"???");
    EXPECT_EQ(s.CommandCaption, L"???");
    EXPECT_EQ(s.MainCaption, L"???");
    EXPECT_EQ(s.TextCaption, L"???");
    EXPECT_EQ(s.MainCmdCtrlID, 0);
    EXPECT_EQ(s.TextHistCtrlID, 0);
    platform.iniMain[ini] = {{L"ACADName", L"acad"},       {L"CommandCaption", L"コマンド"},
                             {L"MainCaption", L"AutoCAD"}, {L"TextCaption", L"テキスト"},
                             {L"MainCmdCtrlID", L"11"},    {L"TextCmdCtrlID", L"12"},
                             {L"MainHistCtrlID", L"13"},   {L"TextHistCtrlID", L"14"}};
    s = LoadLauncherSettings(platform, L"C:\\Tools\\ヴォルタ\\");
    EXPECT_EQ(s.ACADName, L"acad");
    EXPECT_EQ(s.CommandCaption, L"コマンド");
    EXPECT_EQ(s.MainCaption, L"AutoCAD");
    EXPECT_EQ(s.TextCaption, L"テキスト");
    EXPECT_EQ(s.MainCmdCtrlID, 11);
    EXPECT_EQ(s.TextCmdCtrlID, 12);
    EXPECT_EQ(s.MainHistCtrlID, 13);
    EXPECT_EQ(s.TextHistCtrlID, 14);
}

TEST_F(SettingsFile, ValuesAreReadFromTheAppFolderAndKeepDoubleByteCharactersWhole) {
    platform.iniMain[ini] = {{L"ACADName", L"acad"},
                             {L"MainCaption", L"AutoCAD 2005"},
                             {L"TextCaption", L"AutoCAD テキスト ウィンドウ"},
                             {L"CommandCaption", L"コマンドライン"},
                             {L"MainCmdCtrlID", L"1001"},
                             {L"TextHistCtrlID", L"&H3EA"}};
    LauncherSettings s = LoadLauncherSettings(platform, L"C:\\Tools\\ヴォルタ\\");
    EXPECT_EQ(s.ACADName, L"acad");
    EXPECT_EQ(s.TextCaption, L"AutoCAD テキスト ウィンドウ");
    EXPECT_EQ(s.CommandCaption, L"コマンドライン");
    EXPECT_EQ(s.MainCmdCtrlID, 1001);
    EXPECT_EQ(s.TextHistCtrlID, 1002);
}

TEST_F(SettingsFile, LongValuesAreCutAt254BytesWithNoTrailingGarbage) {
    std::wstring longValue(200, L'図');  // 400 bytes in code page 932
    platform.iniMain[ini] = {{L"MainCaption", longValue}};
    std::wstring read =
        ReadSetting(platform, L"C:\\Tools\\ヴォルタ\\", L"Lumset", L"Main", L"MainCaption", L"???");
    EXPECT_EQ(read, std::wstring(127, L'図'));
}

// Notepad saves UTF-8 (with or without a byte-order mark) or UTF-16; a file in code page
// 932 still goes to the system's profile reader, untouched.
TEST_F(SettingsFile, FilesSavedAsUtf8OrUtf16ReadTheSameAsCodePage932) {
    const std::wstring text =
        L"; 設定\r\n[Other]\r\nCommandCaption=違う\r\n[main]\r\n  commandcaption = \"コマンド "
        L"ライン\" \r\n"
        L"MainCmdCtrlID=&H3E9\r\nTextCaption=AutoCAD テキスト\r\n[Main]\r\nACADName=later\r\n";
    std::string utf16le = "\xFF\xFE";
    for (wchar_t c : text) utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    const std::string utf8 =
        "; \xE8\xA8\xAD\xE5\xAE\x9A\r\n[Other]\r\nCommandCaption=x\r\n[main]\r\n"
        "  commandcaption = \"\xE3\x82\xB3\xE3\x83\x9E\xE3\x83\xB3\xE3\x83\x89 "
        "\xE3\x83\xA9\xE3\x82\xA4\xE3\x83\xB3\" \r\nMainCmdCtrlID=&H3E9\r\n"
        "TextCaption=AutoCAD \xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88\r\n";
    for (const std::string& file : {utf8, "\xEF\xBB\xBF" + utf8, utf16le}) {
        platform.files[ini] = file;
        LauncherSettings s = LoadLauncherSettings(platform, L"C:\\Tools\\ヴォルタ\\");
        EXPECT_EQ(s.CommandCaption, L"コマンド ライン");
        EXPECT_EQ(s.TextCaption, L"AutoCAD テキスト");
        EXPECT_EQ(s.MainCmdCtrlID, 1001);
        EXPECT_EQ(s.ACADName, L"???");  // only the first [Main] counts
        EXPECT_EQ(platform.CountLog("ReadProfileString"), 0u);
    }
    // Code page 932 bytes are mostly not valid UTF-8: the system's reader as before.
    platform.files[ini] = Cp932(L"[Main]\r\nCommandCaption=コマンド ライン\r\n");
    platform.iniMain[ini] = {{L"CommandCaption", L"コマンド ライン"}};
    EXPECT_EQ(LoadLauncherSettings(platform, L"C:\\Tools\\ヴォルタ\\").CommandCaption,
              L"コマンド ライン");
    EXPECT_EQ(platform.CountLog("ReadProfileString"), 8u);
}

// Code page 932 text that happens to be valid UTF-8 stays code page 932: half-width kana
// followed by another kana or by a lead byte 0x81-0x9F are 2-byte UTF-8 characters. UTF-8
// is told by a character of 3 or 4 bytes, which every Japanese character has.
TEST(Encoding, CodePage932ThatPassesForUtf8IsStillTheCodePage) {
    for (const wchar_t* text :
         {L"TextCaption=ﾃｽﾄｱ\r\n",    // C3 BD C4 B1: "ýı" in UTF-8
          L"TextCaption=ﾃ､\r\n",      // C3 A4: "ä"
          L"CommandCaption=ﾐ表\r\n",  // D0 95 5C: Cyrillic Е, then a backslash
          L"x=ﾂｰﾂｰ\r\n"}) {
        const std::string bytes = Cp932(text);
        EXPECT_EQ(DetectEncoding(bytes), TextEncoding::kAnsi) << HexBytes(bytes);
    }
    // UTF-8 with Japanese text, with or without 2-byte characters beside it.
    EXPECT_EQ(DetectEncoding("TextCaption=AutoCAD \xE3\x83\x86\xE3\x82\xAD\r\n"),
              TextEncoding::kUtf8);
    EXPECT_EQ(DetectEncoding("; M\xC3\xBCller\r\nCommandCaption=\xEF\xBD\xBA\r\n"),  // ｺ
              TextEncoding::kUtf8);
    // Only 2-byte characters: the code page, which reads every ASCII key and value alike.
    EXPECT_EQ(DetectEncoding("; M\xC3\xBCller\r\n[Main]\r\n"), TextEncoding::kAnsi);
    // Not UTF-8 at all, or pure ASCII.
    EXPECT_EQ(DetectEncoding("\xE3\x83"), TextEncoding::kAnsi);
    EXPECT_EQ(DetectEncoding("[Main]\r\n"), TextEncoding::kAnsi);
    EXPECT_EQ(DetectEncoding("\xEF\xBB\xBF[Main]\r\n"), TextEncoding::kUtf8);
}

}  // namespace
}  // namespace vorta
