// Text as scripts see it: UTF-8 inside, UTF-16 units when counting and
// cutting, and the system's code page for the strings of SWF 5 and older
// movies (GBK on a Chinese system).
#pragma once
#include <cstdint>
#include <string>

#include "player/avm1/value.h"

namespace avm1 {

class Machine;

// UTF-8 of a string from the movie's code: SWF 6 and later store UTF-8,
// older movies the code page of the machine that made them.
String decodeText(const Machine& m, int swfVersion, std::string raw);

std::u16string toUtf16(const String& s);
String fromUtf16(const std::u16string& s);
// One UTF-16 unit as text (lone surrogates become U+FFFD).
String fromCharCode(uint32_t unit);
uint16_t firstCodeUnit(const String& s);
// Letter case of one UTF-16 unit (ASCII, Latin-1, Greek, Cyrillic).
char16_t lowerUnit(char16_t c);
char16_t upperUnit(char16_t c);
// SWF 4's substring: 1-based start, count < 0 for the rest.
String legacySubstring(const String& s, double index, double count);

}  // namespace avm1
