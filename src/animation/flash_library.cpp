#include "animation/flash_library.h"

#include <windows.h>
#include <shlobj.h>

#include "animation/compressed_block.h"
#include "animation/embedded_player_library.h"
#include "player/dll/qlswf_api.h"
#include "runtime/files.h"

namespace ql {

namespace {

const char kAppDataFolderName[] = "青岚桌面工具箱";

std::string inFolder(const std::string& folder, const char* name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

// Asking the file system is the only answer that holds under every ACL.
bool canMakeFilesIn(const std::string& folder) {
  std::string probe =
      inFolder(folder, ("qlswf-probe-" + std::to_string(GetCurrentProcessId()) + ".tmp").c_str());
  HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

FolderWritableCheck folderWritable = canMakeFilesIn;

// Written under a temporary name and renamed over the old copy when
// complete: a half-written library never takes the place of a whole one. A
// copy that is loaded somewhere cannot be renamed over.
bool placeFile(const std::string& path, const Bytes& data) {
  std::string temporary = path + ".part";
  if (!writeWholeFile(temporary, data)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

bool holds(const std::string& path, const ContentId& carried) {
  Bytes bytes;
  return readWholeFile(path, bytes) && contentIdOf(bytes.data(), bytes.size()) == carried;
}

}  // namespace

void setFolderWritableCheck(FolderWritableCheck check) {
  folderWritable = check ? check : canMakeFilesIn;
}

std::string installFlashLibrary(const std::vector<std::string>& folders, const uint8_t* block,
                                size_t blockSize) {
  ContentId carried;
  if (!blockContentId(block, blockSize, carried)) return std::string();
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = inFolder(folder, QLSWF_LIBRARY_NAME);
    if (fileExists(path) && holds(path, carried)) return path;
  }
  Bytes library;  // unpacked once a copy has to be written
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::string path = inFolder(folder, QLSWF_LIBRARY_NAME);
    CreateDirectoryA(folder.c_str(), nullptr);  // the application-data one may be new
    if (!folderWritable(folder)) continue;
    if (library.empty()) library = unpackBlock(block, blockSize);
    if (library.empty()) return std::string();
    // Read back: only what was checked is loaded.
    if (placeFile(path, library) && holds(path, carried)) return path;
  }
  return std::string();
}

std::vector<std::string> flashLibraryFolders() {
  std::vector<std::string> folders;
  char buffer[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("WinDir", buffer, sizeof buffer);
  folders.push_back(n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string());
  folders.push_back(programFolder());
  if (SUCCEEDED(
          SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
    folders.push_back(inFolder(buffer, kAppDataFolderName));
  return folders;
}

std::string installFlashLibrary() {
  return installFlashLibrary(flashLibraryFolders(), kEmbeddedPlayerLibrary,
                             kEmbeddedPlayerLibrarySize);
}

}  // namespace ql
