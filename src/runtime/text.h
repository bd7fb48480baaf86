// Text helpers over GBK (code page 936) byte strings.
#pragma once
#include <string>
#include <vector>

namespace ql {

// True when b starts a double-byte GBK character.
inline bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The number at the start of the text: optional sign, digits, decimal point,
// exponent. Leading blanks are skipped; text without such a prefix gives 0.
double textToNumber(const std::string& text);

// The longest prefix of at most maxBytes bytes that does not end inside a
// double-byte character.
std::string cutGbkText(const std::string& text, size_t maxBytes);

// The position of the last single-byte character of `text` that is one of
// `characters`, never the second byte of a double-byte character;
// std::string::npos when there is none.
size_t findLastSingleByte(const std::string& text, const std::string& characters);

// Removes leading and trailing ASCII spaces and full-width spaces (A1 A1).
std::string trimSpaces(const std::string& text);

// Empty once leading and trailing spaces are removed.
bool isBlank(const std::string& text);

// Position of needle in text at or after `from`, comparing ASCII letters
// without regard to case. A match never starts inside a double-byte character.
// std::string::npos when absent (or when needle is empty).
size_t findNoCase(const std::string& text, const std::string& needle, size_t from = 0);

// The text after the first startMarker (found without regard to case) up to
// the next endMarker. Empty when the start marker is missing or is the very
// first thing in the text, or when no end marker follows it.
std::string textBetween(const std::string& text, const std::string& startMarker,
                        const std::string& endMarker);

// Splits at every occurrence of separator; "" gives one empty part.
std::vector<std::string> splitText(const std::string& text, const std::string& separator);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string replaceAll(const std::string& text, const std::string& from, const std::string& to);

// Integer as decimal text.
std::string intToText(long long value);

}  // namespace ql
