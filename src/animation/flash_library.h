// Deployment of the player library (qlswf.dll), which the program carries
// packed inside itself. It is installed where the user may write: the
// Windows folder, else beside the program, else the user's local
// application-data folder, and loaded from there by its full path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

// Whether new files can be made in a folder. Tests deny folders with their own.
using FolderWritableCheck = bool (*)(const std::string& folder);
// Null puts back the real check (making and removing a probe file).
void setFolderWritableCheck(FolderWritableCheck check);

// The full path of the library in the first of `folders` that already holds
// it (whatever its content: an existing file is never replaced); otherwise
// unpacks `block` into the first writable folder and returns that path.
// Empty when the block is broken or no folder takes the file.
std::string installFlashLibrary(const std::vector<std::string>& folders, const uint8_t* block,
                                size_t blockSize);

// The program's places, in order: %WinDir%, the program's folder, and
// CSIDL_LOCAL_APPDATA\青岚桌面工具箱.
std::vector<std::string> flashLibraryFolders();

// installFlashLibrary over the program's places with the embedded block.
std::string installFlashLibrary();

}  // namespace ql
