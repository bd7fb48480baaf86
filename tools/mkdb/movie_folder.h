// The movies of a folder laid out as one sub-folder per category.
#pragma once
#include <string>
#include <vector>

struct MovieFile {
  std::string category;  // the sub-folder's name
  std::string name;      // the file name without ".swf"
  std::string path;
};

// Every "*.swf" file (any letter case) one level down, sorted by category and
// then name. Files directly in the folder belong to no category and are left
// out. A missing folder gives no movies.
std::vector<MovieFile> findMovies(const std::string& folder);
