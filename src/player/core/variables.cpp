#include "player/core/variables.h"

#include <memory>

#include "player/core/sprite.h"
#include "player/text/encoding.h"

namespace player {

namespace {

SpriteInstance* rootOf(SpriteInstance* s) {
  while (auto parent = s->parent()) s = parent.get();
  return s;
}

SpriteInstance* childNamed(SpriteInstance* s, const std::string& name) {
  for (auto& entry : s->children())
    if (entry.second.sprite && text::sameNameNoCase(entry.second.name, name)) return entry.second.sprite.get();
  return nullptr;
}

// One step of a target path from `s`; null when it leads nowhere.
SpriteInstance* step(SpriteInstance* s, const std::string& part) {
  if (part.empty() || part == "this" || part == ".") return s;
  if (text::sameNameNoCase(part, "_root") || part == "_level0") return rootOf(s);
  if (part == ".." || text::sameNameNoCase(part, "_parent")) return s->parent().get();
  return childNamed(s, part);
}

// Splits a path into the timeline it names and the variable's name.
SpriteInstance* resolve(SpriteInstance& base, const std::string& path, std::string* name) {
  size_t colon = path.rfind(':');
  size_t dot = path.rfind('.');
  size_t cut = colon != std::string::npos ? colon : dot;
  if (cut == std::string::npos) {
    *name = path;
    return &base;
  }
  *name = path.substr(cut + 1);
  std::string target = path.substr(0, cut);
  SpriteInstance* s = &base;
  size_t i = 0;
  if (!target.empty() && target[0] == '/') {
    s = rootOf(s);
    i = 1;
  }
  while (s && i <= target.size()) {
    size_t end = target.find_first_of("./", i);
    // ".." is one step, not two dots.
    if (end == i && target.compare(i, 2, "..") == 0) end = i + 2;
    if (end == std::string::npos) end = target.size();
    s = step(s, target.substr(i, end - i));
    i = end + 1;
  }
  return s;
}

}  // namespace

bool readVariable(SpriteInstance& base, const std::string& path, std::string* value) {
  std::string name;
  SpriteInstance* s = resolve(base, path, &name);
  if (!s) return false;
  for (const auto& entry : s->variables()) {
    if (text::sameNameNoCase(entry.first, name)) {
      *value = entry.second;
      return true;
    }
  }
  return false;
}

bool writeVariable(SpriteInstance& base, const std::string& path, const std::string& value) {
  std::string name;
  SpriteInstance* s = resolve(base, path, &name);
  if (!s || name.empty()) return false;
  for (auto& entry : s->variables()) {
    if (text::sameNameNoCase(entry.first, name)) {
      entry.second = value;
      return true;
    }
  }
  s->variables()[name] = value;
  return true;
}

}  // namespace player
