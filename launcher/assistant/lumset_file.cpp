#include "launcher/assistant/lumset_file.h"

#include <vector>

#include "common/text/system_message.h"
#include "common/text/text_format.h"
#include "launcher/text_file.h"

namespace vorta::assistant {

namespace {

constexpr wchar_t kCodePageNote[] = L"; この Lumset.ini は Shift_JIS（ANSI）で保存しています。\r\n";

bool IsQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

// One line of the file: the bytes written for it, and its text.
struct Line {
    std::string bytes;
    std::wstring text;
};

// Splits at CR LF, LF or a lone CR (the readers end a line at either character). A line
// end at the very end of the text starts no further line.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

// Code page bytes split into lines as the profile reader sees them, which converts the
// file first: a CR or LF right after a lead byte ends the line only when the conversion
// keeps it. (Wine's takes it as the second byte of that character: the reader then sees
// one line where a split at the byte would see two, and a rewrite that wrote a CR LF there
// would show the reader a section it never saw.) The bytes of each line stay as they are.
std::vector<std::string_view> SplitAnsiLines(std::string_view bytes, const Platform& codec) {
    auto keeps = [&](char lead, char end) {
        return codec.FromAnsi(std::string{lead, end}).find(static_cast<wchar_t>(end)) !=
               std::wstring::npos;
    };
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char b = bytes[i];
        if (codec.IsLeadByte(static_cast<unsigned char>(b)) && i + 1 < bytes.size()) {
            const char next = bytes[i + 1];
            i += (next != '\r' && next != '\n') || !keeps(b, next) ? 2 : 1;
            continue;
        }
        if (b != '\r' && b != '\n') {
            ++i;
            continue;
        }
        lines.push_back(bytes.substr(start, i - start));
        if (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = ++i;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::wstring FolderForMessage(const std::wstring& appFolder) {
    // "C:\Tools\Vorta\" is shown as "C:\Tools\Vorta"; a drive root keeps its backslash.
    if (appFolder.size() > 3 && appFolder.back() == L'\\')
        return appFolder.substr(0, appFolder.size() - 1);
    return appFolder;
}

enum class SaveStep { kRead, kWriteTemporary, kBackup, kReplace };

// What the step could not do, and to which file, after "フォルダ「…」".
std::wstring StepFailure(SaveStep step) {
    switch (step) {
        case SaveStep::kRead:
            return L"の Lumset.ini を読めなかった";
        case SaveStep::kWriteTemporary:
            return L"に一時ファイル Lumset.ini.tmp を書き込めなかった";
        case SaveStep::kBackup:
            return L"に元のファイルの控え Lumset.ini.bak を書き込めなかった";
        case SaveStep::kReplace:
            break;
    }
    return L"の Lumset.ini を新しい内容に置き換えられなかった";
}

const wchar_t* StepFileName(SaveStep step) {
    if (step == SaveStep::kWriteTemporary) return kLumsetTemporaryName;
    return step == SaveStep::kBackup ? kLumsetBackupName : kLumsetFileName;
}

// The message names the cause the system gave, for the file of the step that failed.
std::wstring FailureMessage(const std::wstring& folder, SaveStep step, const FileResult& result) {
    const std::wstring code = DecimalText(result.code);
    const std::wstring detail = SystemMessageClause(result.detail);
    const std::wstring error = detail.empty() ? Fill(L"（エラー %1）", {code})
                                              : Fill(L"（エラー %1：%2）", {code, detail});
    const std::wstring_view file = StepFileName(step);
    const wchar_t* stopped =
        step == SaveStep::kRead ? L"保存をやめました" : L"Lumset.ini を保存できませんでした";
    std::wstring message;
    switch (result.status) {
        case FileStatus::kReadOnly:
            message = Fill(L"%1 が読み取り専用になっているため、%2%3。", {file, stopped, error});
            break;
        case FileStatus::kInUse:
            message =
                Fill(L"%1 をほかのプログラムが使っているため、%2%3。", {file, stopped, error});
            break;
        case FileStatus::kIsFolder:
            message = Fill(L"フォルダ「%1」に %2 という名前のフォルダがあるため、%3%4。",
                           {folder, file, stopped, error});
            break;
        case FileStatus::kAccessDenied:
            message =
                Fill(step == SaveStep::kRead ? L"フォルダ「%1」の Lumset.ini を読む権限が"
                                               L"ないため、%2%3。"
                     : step == SaveStep::kReplace ? L"フォルダ「%1」の Lumset.ini を書き換える"
                                                    L"権限がないため、%2%3。"
                                                  : L"フォルダ「%1」に書き込めないため、%2%3。",
                     {folder, stopped, error});
            break;
        default:
            message =
                Fill(L"フォルダ「%1」%2ため、%3%4。", {folder, StepFailure(step), stopped, error});
            break;
    }
    message += L"元の Lumset.ini はそのままです。";
    if (result.status == FileStatus::kAccessDenied && step != SaveStep::kRead)
        message +=
            L"\r\n\r\nProgram Files の中など、書き込むのに管理者の権限がいるフォルダには保存"
            L"できません。vortastart.exe を書き込めるフォルダに置くか、メモ帳を管理者として"
            L"実行して Lumset.ini を書き換えてください。";
    return message;
}

}  // namespace

SettingTexts TextsOf(const LauncherSettings& s) {
    return {s.ACADName,
            s.CommandCaption,
            s.MainCaption,
            s.TextCaption,
            DecimalText(s.MainCmdCtrlID),
            DecimalText(s.TextCmdCtrlID),
            DecimalText(s.MainHistCtrlID),
            DecimalText(s.TextHistCtrlID)};
}

std::optional<std::wstring> ValueProblem(std::size_t key, const std::wstring& text,
                                         const Platform& codec) {
    const std::wstring_view name = KeyName(key);
    if (text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring::npos)
        return Fill(L"%1 の値には改行を含められません。", {name});
    if (IsIntegerKey(key) && !IsWholeSettingInteger(text))
        return Fill(L"%1 には数値（10 進数、または &H で始まる 16 進数）を書いてください。",
                    {name});
    if (text.empty()) return Fill(L"%1 の値が空です。", {name});
    const std::string bytes = codec.ToAnsi(text);
    if (codec.FromAnsi(bytes) != text)
        return Fill(L"%1 の値に、Shift_JIS で書けない文字が含まれています。", {name});
    // The enclosing quotes, when it needs them, count too.
    if (codec.ToAnsi(FormatSettingValue(text)).size() > kSettingValueMaxBytes)
        return Fill(L"%1 の値が長すぎます（Shift_JIS で %2 バイトまで）。",
                    {name, DecimalText(kSettingValueMaxBytes)});
    return std::nullopt;
}

std::wstring FormatSettingValue(std::wstring_view value) {
    const bool blankAtEnd =
        !value.empty() && (IsProfileBlank(value.front()) || IsProfileBlank(value.back()));
    const bool quoted =
        value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
    if (blankAtEnd || quoted) return L"\"" + std::wstring(value) + L"\"";
    return std::wstring(value);
}

std::optional<std::string> RewriteLumset(std::string_view oldBytes, const LumsetChanges& changes,
                                         const Platform& codec) {
    std::vector<Line> lines;
    if (DetectEncoding(oldBytes) == TextEncoding::kAnsi) {
        for (std::string_view piece : SplitAnsiLines(oldBytes, codec))
            lines.push_back({std::string(piece), codec.FromAnsi(piece)});
    } else {
        // Saved by Notepad as UTF-8 or UTF-16: every line goes over to the code page.
        const std::wstring text = DecodeText(oldBytes, codec);
        for (const std::wstring& piece : SplitLines(text)) {
            std::string bytes = codec.ToAnsi(piece);
            if (codec.FromAnsi(bytes) != piece) return std::nullopt;
            lines.push_back({std::move(bytes), piece});
        }
    }

    // The first [Main] section, as the launcher finds it: its header, its first line of
    // each key, and its last key line.
    std::optional<std::size_t> header;
    std::optional<std::size_t> lastKeyLine;
    std::array<std::optional<std::size_t>, kSettingCount> keyLine;
    std::array<std::wstring, kSettingCount> keyValue;  // as the reader reads it
    ProfileSectionWalk walk(kSettingsSection);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        using Kind = ProfileSectionWalk::Kind;
        const ProfileSectionWalk::Line line = walk.Next(lines[i].text);
        if (line.kind == Kind::kEnd) break;
        if (line.kind == Kind::kHeader) header = i;
        if (line.kind != Kind::kEntry) continue;
        for (std::size_t k = 0; k < kSettingCount; ++k) {
            if (keyLine[k] || !SameProfileName(line.key, KeyName(k))) continue;
            keyLine[k] = i;
            keyValue[k] = line.value;
            lastKeyLine = i;
        }
    }

    // The lines of missing keys, each with its line end.
    std::string added;
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        if (!changes[k]) continue;
        if (!keyLine[k]) {
            added +=
                codec.ToAnsi(Fill(L"%1=%2\r\n", {KeyName(k), FormatSettingValue(*changes[k])}));
            continue;
        }
        if (keyValue[k] == *changes[k]) continue;
        Line& line = lines[*keyLine[k]];
        // The key as it was written, up to and including "=" (a byte 0x3D is never
        // part of a double-byte character), then the new value.
        line.bytes.resize(line.bytes.find('=') + 1);
        line.bytes += codec.ToAnsi(FormatSettingValue(*changes[k]));
    }

    // Missing keys go after the section's last key line, or its header; a missing
    // section goes at the end.
    const std::size_t at = lastKeyLine ? *lastKeyLine + 1 : header ? *header + 1 : lines.size();
    if (!header && !added.empty()) added.insert(0, "[Main]\r\n");
    std::string bytes;
    for (std::size_t i = 0; i <= lines.size(); ++i) {
        if (i == at) bytes += added;
        // A line that ends in a CR (taken into a double-byte character, as above) needs
        // only the LF.
        if (i < lines.size())
            bytes += lines[i].bytes + (lines[i].bytes.ends_with('\r') ? "\n" : "\r\n");
    }
    // Written in the code page, the file must be read in the code page. Bytes that would
    // pass for UTF-8 (rare kanji next to half-width kana can) get a first line that UTF-8
    // cannot hold: after "; ", its first double-byte character starts with 0x82, a byte
    // UTF-8 never starts a character with.
    if (DetectEncoding(bytes) != TextEncoding::kAnsi) bytes.insert(0, codec.ToAnsi(kCodePageNote));
    return bytes;
}

SaveOutcome SaveLumset(SettingsFileSystem& files, const Platform& codec,
                       const std::wstring& appFolder, const LumsetChanges& changes) {
    const std::wstring folder = FolderForMessage(appFolder);
    const std::wstring path = appFolder + kLumsetFileName;
    const std::wstring backup = appFolder + kLumsetBackupName;
    const std::wstring temporary = appFolder + kLumsetTemporaryName;

    std::string old;
    const FileResult read = files.ReadWhole(path, old);
    const bool existed = read.ok();
    if (!existed && read.status != FileStatus::kMissing)
        return {false, FailureMessage(folder, SaveStep::kRead, read)};
    if (!existed) old.clear();

    const std::optional<std::string> bytes = RewriteLumset(old, changes, codec);
    if (!bytes)
        return {false,
                L"Lumset.ini に Shift_JIS で書けない文字が含まれているため、保存できません"
                L"でした。元の Lumset.ini はそのままです。メモ帳でその文字を消してから、"
                L"もう一度保存してください。"};

    auto fail = [&](SaveStep step, const FileResult& result) {
        files.Remove(temporary);
        return SaveOutcome{false, FailureMessage(folder, step, result)};
    };
    if (FileResult r = files.WriteNew(temporary, *bytes); !r.ok())
        return fail(SaveStep::kWriteTemporary, r);
    // The backup holds the bytes just read, written and flushed like the new file.
    if (existed) {
        if (FileResult r = files.WriteNew(backup, old); !r.ok()) return fail(SaveStep::kBackup, r);
    }
    if (FileResult r = files.Rename(temporary, path); !r.ok()) return fail(SaveStep::kReplace, r);
    return {true, Fill(existed ? L"Lumset.ini を保存しました（フォルダ「%1」）。元のファイルは "
                                 L"Lumset.ini.bak に残してあります。"
                               : L"Lumset.ini を作りました（フォルダ「%1」）。",
                       {folder})};
}

}  // namespace vorta::assistant
