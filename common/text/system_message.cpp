#include "common/text/system_message.h"

namespace vorta {

namespace {

bool IsBlankOrBreak(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\u3000';
}

bool IsFullStop(wchar_t c) {
    return c == L'。' || c == L'.';
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && IsBlankOrBreak(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankOrBreak(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::wstring SystemMessageClause(std::wstring_view text) {
    text = Trimmed(text);
    while (!text.empty() && IsFullStop(text.back()))
        text = Trimmed(text.substr(0, text.size() - 1));
    return std::wstring(text);
}

std::wstring SystemMessageSentence(std::wstring_view text) {
    text = Trimmed(text);
    if (text.empty()) return {};
    const wchar_t last = text.back();
    if (IsFullStop(last) || last == L'？' || last == L'！' || last == L'?' || last == L'!')
        return std::wstring(text);
    return std::wstring(text) + L'。';
}

}  // namespace vorta
