// "fl配置"/"fl地址": the movie the desktop plays at start. Either the full
// path of a movie file the user chose, or a catalogue entry written as
// category + "###" + name.
#pragma once
#include <functional>
#include <string>

namespace ql {

struct MovieReference {
  enum Kind { None, File, Catalogue } kind = None;
  std::string path;            // File
  std::string category, name;  // Catalogue
};

std::string catalogueReference(const std::string& category, const std::string& name);

// A text naming a file that exists is a path, whatever it holds; otherwise
// it names a catalogue entry when it splits at "###" into exactly two parts.
MovieReference parseMovieReference(const std::string& text,
                                   const std::function<bool(const std::string&)>& fileExists);

}  // namespace ql
