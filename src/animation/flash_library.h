// Deployment of the player library (qlswf.dll), which the program carries
// packed inside itself. It is installed where the user may write: the
// Windows folder, else beside the program, else the user's local
// application-data folder, and loaded from there by its full path. Only a
// copy whose bytes are the carried library's is ever loaded.
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

// The full path of a copy of the library carried in `block`: the first of
// `folders` that holds one, else the first that can be given one, where a
// copy that differs (an older program's, a damaged one) is replaced and one
// that cannot be (in use, or the folder is closed to us) is passed over.
// Empty when the block is broken or no folder holds or takes the library.
std::string installFlashLibrary(const std::vector<std::string>& folders, const uint8_t* block,
                                size_t blockSize);

// The program's places, in order: %WinDir%, the program's folder, and
// CSIDL_LOCAL_APPDATA\青岚桌面工具箱.
std::vector<std::string> flashLibraryFolders();

// installFlashLibrary over the program's places with the embedded block.
std::string installFlashLibrary();

}  // namespace ql
