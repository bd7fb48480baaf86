// The system's open-file dialog, as the program's windows ask for a file.
#pragma once
#include <windows.h>

#include <string>

namespace ql {

// Asks for an existing file, in a dialog owned by `owner`. `filter` is in the
// system's form (label, NUL, pattern, NUL, ..., NUL) or null for all files;
// `extraFlags` are more OFN_ flags. Empty when the user cancels.
std::string askForFile(HWND owner, const char* title, const char* filter = nullptr,
                       DWORD extraFlags = 0);

}  // namespace ql
