#include "launcher/text_file.h"

#include <cstdint>

namespace vorta {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void AppendCodePoint(std::wstring& out, std::uint32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

// Decodes UTF-8; nothing when the bytes are not valid UTF-8 (overlong forms, surrogates
// and values beyond U+10FFFF included).
std::optional<std::wstring> DecodeUtf8(std::string_view bytes) {
    std::wstring out;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        std::uint32_t cp = 0;
        std::uint32_t least = 0;
        if (b < 0x80) {
            cp = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F, least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= bytes.size()) return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (extra > 0 && (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            return std::nullopt;
        AppendCodePoint(out, cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    std::uint32_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        const std::uint32_t unit = bigEndian ? (a << 8) | b : (b << 8) | a;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (high) AppendCodePoint(out, 0xFFFD);
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendCodePoint(out,
                            high ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD);
            high = 0;
            continue;
        }
        if (high) AppendCodePoint(out, 0xFFFD);
        high = 0;
        AppendCodePoint(out, unit);
    }
    if (high) AppendCodePoint(out, 0xFFFD);
    return out;
}

}  // namespace

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring AsciiLowered(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = AsciiLower(c);
    return out;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::kUtf8;
    if (bytes.starts_with("\xFF\xFE")) return TextEncoding::kUtf16Le;
    if (bytes.starts_with("\xFE\xFF")) return TextEncoding::kUtf16Be;
    // In valid UTF-8, a byte 0xE0 or above can only start a character of 3 or 4 bytes.
    bool longCharacter = false;
    for (char c : bytes) longCharacter = longCharacter || static_cast<unsigned char>(c) >= 0xE0;
    if (longCharacter && DecodeUtf8(bytes)) return TextEncoding::kUtf8;
    return TextEncoding::kAnsi;
}

std::wstring DecodeText(std::string_view bytes, const Platform& codec) {
    switch (DetectEncoding(bytes)) {
        case TextEncoding::kUtf8:
            if (bytes.starts_with(kUtf8Bom)) bytes.remove_prefix(kUtf8Bom.size());
            // A mark followed by bytes that are not UTF-8: read them in the code page.
            if (auto text = DecodeUtf8(bytes)) return *text;
            return codec.FromAnsi(bytes);
        case TextEncoding::kUtf16Le:
            return DecodeUtf16(bytes.substr(2), false);
        case TextEncoding::kUtf16Be:
            return DecodeUtf16(bytes.substr(2), true);
        case TextEncoding::kAnsi:
            break;
    }
    return codec.FromAnsi(bytes);
}

bool IsProfileBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\f' || c == L'\v';
}

bool SameProfileName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::wstring_view TrimProfileBlanks(std::wstring_view s) {
    while (!s.empty() && IsProfileBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsProfileBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::wstring_view ProfileLineValue(std::wstring_view afterEquals) {
    std::wstring_view value = TrimProfileBlanks(afterEquals);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

ProfileSectionWalk::Line ProfileSectionWalk::Next(std::wstring_view raw) {
    const std::wstring_view line = TrimProfileBlanks(raw);
    if (line.starts_with(L'[')) {
        // The first section of that name is the one read.
        if (inSection_) return {Kind::kEnd, {}, {}};
        const std::size_t close = line.find(L']');
        const std::wstring_view name = TrimProfileBlanks(
            line.substr(1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
        inSection_ = SameProfileName(name, section_);
        return {inSection_ ? Kind::kHeader : Kind::kOutside, {}, {}};
    }
    if (!inSection_) return {Kind::kOutside, {}, {}};
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return {Kind::kOther, {}, {}};
    return {Kind::kEntry, TrimProfileBlanks(line.substr(0, equals)),
            ProfileLineValue(line.substr(equals + 1))};
}

std::optional<std::wstring> ProfileValue(std::wstring_view text, std::wstring_view section,
                                         std::wstring_view key) {
    ProfileSectionWalk walk(section);
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(L"\r\n");
        const ProfileSectionWalk::Line line = walk.Next(text.substr(0, end));
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
        if (line.kind == ProfileSectionWalk::Kind::kEnd) return std::nullopt;
        if (line.kind == ProfileSectionWalk::Kind::kEntry && SameProfileName(line.key, key))
            return std::wstring(line.value);
    }
    return std::nullopt;
}

}  // namespace vorta
