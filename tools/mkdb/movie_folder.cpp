#include "movie_folder.h"

#include <windows.h>

#include <algorithm>

namespace {

// Names of the entries of a folder that match `pattern`, directories or files.
std::vector<std::string> entriesOf(const std::string& folder, const char* pattern,
                                   bool directories) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name == "." || name == ".." || isDirectory != directories) continue;
    names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool endsWithSwf(const std::string& name) {
  return name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".swf") == 0;
}

}  // namespace

std::vector<MovieFile> findMovies(const std::string& folder) {
  std::vector<MovieFile> movies;
  for (const std::string& category : entriesOf(folder, "*", true)) {
    std::string categoryFolder = folder + "\\" + category;
    for (const std::string& file : entriesOf(categoryFolder, "*", false)) {
      // "*.swf" would also match "x.swfx" through the 8.3 names; check ourselves.
      if (!endsWithSwf(file)) continue;
      movies.push_back({category, file.substr(0, file.size() - 4), categoryFolder + "\\" + file});
    }
  }
  std::sort(movies.begin(), movies.end(), [](const MovieFile& a, const MovieFile& b) {
    return a.category != b.category ? a.category < b.category : a.name < b.name;
  });
  return movies;
}
