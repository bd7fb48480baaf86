// Whole-file access and where the program lives. Paths are GBK on Windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ql {

using Bytes = std::vector<uint8_t>;

bool readWholeFile(const std::string& path, Bytes& out);
// Creates or truncates the file.
bool writeWholeFile(const std::string& path, const Bytes& data);
bool fileExists(const std::string& path);

// The running executable's folder, without a trailing separator, and its file name.
std::string programFolder();
std::string programFileName();

// The folder part of a path (everything before the last "\" or "/").
std::string folderOf(const std::string& path);

}  // namespace ql
