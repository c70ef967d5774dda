#include "launcher/pause_file.h"

#include <algorithm>
#include <string>

#include "launcher/numbers.h"
#include "launcher/text_file.h"

namespace vorta {

const wchar_t kPauseFileMessage[] =
    L"tardo.datファイルがありません。ディレイする値１～２０をセットして"
    L"\u3000tardo.datというファイルを作成してください。";

namespace {

// The pause message itself shows the digits full-width, so a user may well type them
// that way: full-width digits, signs, point and the ideographic space read as their
// ASCII counterparts.
wchar_t NarrowFullWidth(wchar_t c) {
    if (c >= 0xFF10 && c <= 0xFF19) return static_cast<wchar_t>(L'0' + (c - 0xFF10));
    switch (c) {
        case 0xFF0B:
            return L'+';
        case 0xFF0D:
            return L'-';
        case 0x2212:
            return L'-';
        case 0xFF0E:
            return L'.';
        case 0x3000:
            return L' ';
        default:
            return c;
    }
}

}  // namespace

std::optional<std::int16_t> ParsePauseFile(std::string_view bytes, const Platform& codec) {
    if (bytes.empty()) return std::nullopt;  // no line to read
    // The first line ends at the first CR (CR LF counts as one line end); a lone LF
    // does not end it.
    std::wstring text;
    if (DetectEncoding(bytes) == TextEncoding::kAnsi) {
        text = codec.FromAnsi(bytes.substr(0, bytes.find('\r')));
    } else {  // saved by Notepad as UTF-8 or UTF-16
        text = DecodeText(bytes, codec);
        text.resize(std::min(text.size(), text.find(L'\r')));
    }
    for (wchar_t& c : text) c = NarrowFullWidth(c);

    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsNumberBlank(text[begin])) ++begin;
    while (end > begin && IsNumberBlank(text[end - 1])) --end;
    std::wstring_view number(text.data() + begin, end - begin);

    ScannedNumber scanned = ScanDecimal(number);
    if (!scanned.hasDigits || scanned.used != number.size()) return std::nullopt;
    const WholeNumber rounded = RoundToWhole(scanned);
    if (rounded.beyond || rounded.magnitude > (rounded.negative ? 32768u : 32767u))
        return std::nullopt;
    const auto magnitude = static_cast<std::int32_t>(rounded.magnitude);
    return static_cast<std::int16_t>(rounded.negative ? -magnitude : magnitude);
}

std::int16_t ClampPauseUnit(std::int16_t value) {
    if (value < kMinPauseUnit) return kMinPauseUnit;
    if (value > kMaxPauseUnit) return kMaxPauseUnit;
    return value;
}

}  // namespace vorta
