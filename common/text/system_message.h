// Messages of the system (an error's text from FormatMessage, a COM error's description)
// set into our own messages. The system's Japanese texts already end in 「。」: set inside a
// sentence of ours, or given a 「。」 of our own, they would read 「…ました。）。」.
#pragma once

#include <string>
#include <string_view>

namespace vorta {

// The text made to stand inside a sentence of ours: blanks and line breaks around it
// dropped, and its own closing full stop (「。」 or ".") too.
std::wstring SystemMessageClause(std::wstring_view text);

// The text made to stand as a sentence of its own: the clause with one 「。」, or as it is
// when it already ends in a full stop, a question or an exclamation mark.
std::wstring SystemMessageSentence(std::wstring_view text);

}  // namespace vorta
