#include "animation/movie_reference.h"

#include <vector>

#include "runtime/text.h"

namespace ql {

namespace {
const char kSeparator[] = "###";
}  // namespace

std::string catalogueReference(const std::string& category, const std::string& name) {
  return category + kSeparator + name;
}

MovieReference parseMovieReference(const std::string& text,
                                   const std::function<bool(const std::string&)>& fileExists) {
  MovieReference reference;
  if (text.empty()) return reference;
  if (fileExists(text)) {
    reference.kind = MovieReference::File;
    reference.path = text;
    return reference;
  }
  std::vector<std::string> parts = splitText(text, kSeparator);
  if (parts.size() != 2) return reference;
  reference.kind = MovieReference::Catalogue;
  reference.category = parts[0];
  reference.name = parts[1];
  return reference;
}

}  // namespace ql
