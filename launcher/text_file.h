// The encodings a settings or pause file may come in: the ANSI code page (code page 932
// on Japanese Windows), or UTF-8 and UTF-16 as today's Notepad saves them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "launcher/platform.h"

namespace vorta {

enum class TextEncoding {
    kAnsi,     // no byte-order mark, and not UTF-8 with a character of 3 or 4 bytes
    kUtf8,     // a UTF-8 byte-order mark, or no mark but UTF-8 as below
    kUtf16Le,  // FF FE
    kUtf16Be,  // FE FF
};

// Which encoding the file's bytes are in. Without a byte-order mark, the bytes are UTF-8
// when they are valid UTF-8 and hold at least one character written with 3 or 4 bytes
// (every kana, kanji and full-width character is); anything else is the code page.
// Code page 932 text is valid UTF-8 only by accident, and then only through half-width
// kana (0xC2-0xDF) followed by a second half-width kana or a lead byte 0x81-0x9F: pairs
// that UTF-8 reads as 2-byte characters. A 3-byte UTF-8 character would need a lead byte
// 0xE0-0xEF there, the rarest kanji of the code page, followed by the right bytes. Pure
// ASCII reads the same either way and counts as the code page.
TextEncoding DetectEncoding(std::string_view bytes);

// The file's text, without its byte-order mark. ANSI bytes go through the code page.
std::wstring DecodeText(std::string_view bytes, const Platform& codec);

// ASCII letters in lower case, every other character as it is: how names are compared
// without regard to case.
wchar_t AsciiLower(wchar_t c);
std::wstring AsciiLowered(std::wstring_view text);

// The profile reader's rules for one line: names compared without regard to ASCII case,
// blanks (space, tab, CR, FF, VT) around names and values dropped, and one pair of
// enclosing quotes removed from a value.
bool IsProfileBlank(wchar_t c);
bool SameProfileName(std::wstring_view a, std::wstring_view b);
std::wstring_view TrimProfileBlanks(std::wstring_view s);
std::wstring_view ProfileLineValue(std::wstring_view afterEquals);

// The profile reader's walk through the lines of a text to the first section of a name:
// fed one line at a time, it tells what the line is to that section. Lines before the
// section are outside it; the next section's header ends it.
class ProfileSectionWalk {
  public:
    enum class Kind { kOutside, kHeader, kEntry, kOther, kEnd };
    struct Line {
        Kind kind = Kind::kOutside;
        std::wstring_view key;    // kEntry: the name before "=", blanks dropped
        std::wstring_view value;  // kEntry: the value as the reader reads it
    };
    explicit ProfileSectionWalk(std::wstring_view section) : section_(section) {}
    Line Next(std::wstring_view line);

  private:
    std::wstring_view section_;
    bool inSection_ = false;
};

// The value of key in section of a profile (INI) text, as the system's profile reader
// finds it: section and key names compared without regard to case, the first match
// wins, blanks around the value dropped, one pair of enclosing quotes removed. Nothing
// when the section or the key is missing.
std::optional<std::wstring> ProfileValue(std::wstring_view text, std::wstring_view section,
                                         std::wstring_view key);

}  // namespace vorta
