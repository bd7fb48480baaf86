// mkdb: makes a "flash.mdb" that the program accepts.
//
//   mkdb [--force] [--movies FOLDER] [--config1 FILE] [--config2 FILE]
//        [--config3 FILE] PATH
//
// The catalogue is filled from FOLDER (one sub-folder per category, one entry
// per .swf file); --configN puts the bytes of FILE into "字段N". An existing
// PATH is left alone unless --force is given.
#include <windows.h>

#include <cstdio>
#include <string>

#include "data_file.h"
#include "movie_folder.h"
#include "runtime/files.h"
#include "store/access_file.h"
#include "store/database.h"

namespace {

struct Options {
  std::string path;
  std::string moviesFolder;
  std::string configFiles[3];
  bool force = false;
};

int usage() {
  std::fprintf(stderr,
               "usage: mkdb [--force] [--movies FOLDER] [--config1 FILE] [--config2 FILE] "
               "[--config3 FILE] PATH\n");
  return 2;
}

bool parseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    bool hasValue = i + 1 < argc;
    if (argument == "--force") {
      options.force = true;
    } else if (argument == "--movies" && hasValue) {
      options.moviesFolder = argv[++i];
    } else if (argument.size() == 9 && argument.compare(0, 8, "--config") == 0 &&
               argument[8] >= '1' && argument[8] <= '3' && hasValue) {
      options.configFiles[argument[8] - '1'] = argv[++i];
    } else if (argument.compare(0, 2, "--") != 0 && options.path.empty()) {
      options.path = argument;
    } else {
      return false;
    }
  }
  return !options.path.empty();
}

std::string fullPath(const std::string& path) {
  char buffer[MAX_PATH];
  DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

bool isFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Tables, seeded texts and movies, written into a file that was just created.
bool fillDataFile(const std::string& path, const Options& options, std::string& error) {
  if (!setAccessPassword(path, ql::accessPassword(), error)) return false;
  // Opened exactly the way the program opens it.
  ql::Database db;
  if (!db.openAccess(path, ql::accessPassword())) {
    error = "cannot open the new file with its password";
    return false;
  }
  if (!createTables(db)) {
    error = "cannot create the tables";
    return false;
  }
  for (int field = 1; field <= 3; ++field) {
    const std::string& file = options.configFiles[field - 1];
    if (file.empty()) continue;
    ql::Bytes text;
    if (!ql::readWholeFile(file, text)) {
      error = "cannot read " + file;
      return false;
    }
    if (!storeConfigText(db, field, text)) {
      error = "cannot store " + file;
      return false;
    }
  }
  if (options.moviesFolder.empty()) return true;
  if (!isFolder(options.moviesFolder))
    std::fprintf(stderr, "mkdb: no folder %s: the catalogue stays empty\n",
                 options.moviesFolder.c_str());
  int count = 0;
  for (const MovieFile& movie : findMovies(options.moviesFolder)) {
    ql::Bytes bytes;
    if (!ql::readWholeFile(movie.path, bytes)) {
      error = "cannot read " + movie.path;
      return false;
    }
    if (!storeMovie(db, movie, bytes)) {
      error = "cannot store " + movie.path;
      return false;
    }
    ++count;
  }
  std::printf("mkdb: %d movies in the catalogue\n", count);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseArguments(argc, argv, options)) return usage();
  std::string path = fullPath(options.path);
  if (path.empty()) return usage();

  if (ql::fileExists(path)) {
    if (!options.force) {
      std::fprintf(stderr, "mkdb: %s exists; --force replaces it\n", path.c_str());
      return 1;
    }
    if (!DeleteFileA(path.c_str())) {
      std::fprintf(stderr, "mkdb: cannot replace %s\n", path.c_str());
      return 1;
    }
  }

  std::string error;
  if (!createAccessFile(path, error)) {
    std::fprintf(stderr, "mkdb: %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  if (!fillDataFile(path, options, error)) {
    // A half-made file would look usable to the program; take it away.
    DeleteFileA(path.c_str());
    std::fprintf(stderr, "mkdb: %s: %s\n", path.c_str(), error.c_str());
    return 1;
  }
  std::printf("mkdb: made %s\n", path.c_str());
  return 0;
}
