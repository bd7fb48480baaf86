// Text of a movie as characters: movies before SWF 6 store text in the
// system's code page (GBK, code page 936, on the Chinese systems this player
// serves; Shift-JIS where a font says so), later ones in UTF-8.
#pragma once
#include <string>

namespace text {

// Bytes of a movie of `swfVersion` as characters. Bytes that do not decode
// become U+FFFD; nothing is dropped silently.
std::u32string decodeMovieText(const std::string& bytes, int swfVersion);
// Characters as a movie of `swfVersion` stores them; characters that GBK
// cannot hold become '?'.
std::string encodeMovieText(const std::u32string& text, int swfVersion);

// Bytes in a Windows code page (936 GBK, 932 Shift-JIS, 1252 Western, ...);
// 0 is the system's own (GBK where there is no system to ask).
std::u32string decodeCodePage(const std::string& bytes, unsigned codePage);

std::u32string decodeUtf8(const std::string& bytes);
std::string encodeUtf8(const std::u32string& text);
// UTF-16 units, as scripts count text: surrogate pairs for characters past
// U+FFFF; a lone surrogate read back becomes U+FFFD.
std::u16string encodeUtf16(const std::u32string& text);
std::u32string decodeUtf16(const std::u16string& units);

// Names (of fonts, variables, clips) compared with ASCII letters in either
// case alike, as Flash compares them.
bool sameNameNoCase(const std::string& a, const std::string& b);

// A glyph code from a font's code table: UTF-16 from SWF 6 on; before, a
// byte or a double-byte character of GBK (or of Shift-JIS).
char32_t decodeFontCode(uint16_t code, int swfVersion, bool shiftJis);

}  // namespace text
