// Conversion between the system code page (GBK) and UTF-16, for the APIs
// that only speak UTF-16 (GDI+, COM).
#pragma once
#include <string>

namespace ql {

std::wstring toWide(const std::string& text);
std::string fromWide(const std::wstring& text);

}  // namespace ql
