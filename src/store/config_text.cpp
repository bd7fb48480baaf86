#include "store/config_text.h"

#include <algorithm>
#include <map>
#include <utility>

#include "runtime/text.h"

namespace ql {

ConfigText::~ConfigText() {
  if (saveOnDestroy_ && !filePath_.empty()) saveFile(filePath_, filePassword_);
}

bool ConfigText::setValue(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (isBlank(section) || isBlank(key)) return false;
  for (Entry& entry : entries_) {
    if (entry.section == section && entry.key == key) {
      entry.value = value;
      return true;
    }
  }
  entries_.push_back({section, key, value});
  // A section emptied earlier is still listed: listing it again would write
  // it twice.
  if (!hasSection(section)) sections_.push_back(section);
  return true;
}

std::string ConfigText::getValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  if (isBlank(key) || isBlank(section)) return defaultValue;
  for (const Entry& entry : entries_) {
    if (entry.section == section && entry.key == key) return entry.value;
  }
  return defaultValue;
}

bool ConfigText::remove(const std::string& section, const std::string* key) {
  if (isBlank(section)) return false;
  for (size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i].section == section && (!key || entries_[i].key == *key)) {
      entries_.erase(entries_.begin() + static_cast<long>(i));
    }
  }
  if (!key) sections_.erase(std::remove(sections_.begin(), sections_.end(), section), sections_.end());
  return true;
}

void ConfigText::clear() {
  entries_.clear();
  sections_.clear();
}

int ConfigText::sectionCount() const { return static_cast<int>(sections_.size()); }

int ConfigText::entryCount(const std::string* section) const {
  if (!section) return static_cast<int>(entries_.size());
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                        [&](const Entry& e) { return e.section == *section; }));
}

int ConfigText::sectionNames(std::vector<std::string>& out) const {
  out = sections_;
  return static_cast<int>(out.size());
}

int ConfigText::keyNames(const std::string& section, std::vector<std::string>& out) const {
  out.clear();
  for (const Entry& entry : entries_) {
    if (entry.section == section) out.push_back(entry.key);
  }
  return static_cast<int>(out.size());
}

bool ConfigText::loadFile(const std::string& path, bool saveOnDestroy,
                          const std::string& password) {
  filePath_ = path;
  filePassword_ = password;
  Bytes data;
  bool read = readWholeFile(path, data);
  // Saving on destruction after a failed read would put this object's
  // entries over the file's: only a file read, or none there yet, is armed.
  saveOnDestroy_ = saveOnDestroy && (read || !fileExists(path));
  if (!read) return false;
  if (!password.empty()) rc4Crypt(data, password);
  std::string text(data.begin(), data.end());
  return loadText(text);
}

bool ConfigText::saveFile(const std::string& path, const std::string& password) {
  if (isBlank(path)) return false;
  Bytes data = toText();
  if (!password.empty()) rc4Crypt(data, password);
  return writeWholeFile(path, data);
}

bool ConfigText::savePlainFile(const std::string& path) {
  if (isBlank(path)) return false;
  return writeWholeFile(path, toText());
}

bool ConfigText::loadText(std::string& text) {
  std::vector<std::string> lines;
  if (!text.empty()) lines = splitText(text, "\r\n");
  text.clear();
  if (lines.empty()) return false;
  std::string section;
  for (const std::string& raw : lines) {
    std::string line = trimSpaces(raw);
    if (line.empty()) continue;
    if (line[0] == '[') {
      // The closing bracket is assumed, not checked: "[abc" names section "ab".
      section = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string();
      continue;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    setValue(section, line.substr(0, equals), line.substr(equals + 1));
  }
  return true;
}

Bytes ConfigText::toText() const {
  // Duplicate keys of a section write the first value each time.
  std::map<std::pair<std::string, std::string>, const std::string*> firstValue;
  for (const Entry& entry : entries_) {
    firstValue.emplace(std::make_pair(entry.section, entry.key), &entry.value);
  }
  std::string out;
  for (const std::string& section : sections_) {
    out += "[" + section + "]\r\n";
    for (const Entry& entry : entries_) {
      if (entry.section != section) continue;
      out += entry.key + "=";
      if (!isBlank(section) && !isBlank(entry.key)) out += *firstValue[{section, entry.key}];
      out += "\r\n";
    }
  }
  return Bytes(out.begin(), out.end());
}

bool ConfigText::renameSection(const std::string& oldName, const std::string& newName) {
  std::string from = trimSpaces(oldName), to = trimSpaces(newName);
  if (from.empty() || to.empty()) return false;
  if (!hasSection(from)) return false;
  // Merging into another section would list it twice.
  if (to != from && hasSection(to)) return false;
  std::replace(sections_.begin(), sections_.end(), from, to);
  for (Entry& entry : entries_) {
    if (entry.section == from) entry.section = to;
  }
  return true;
}

bool ConfigText::renameKey(const std::string& section, const std::string& oldKey,
                           const std::string& newKey) {
  if (isBlank(newKey) || isBlank(section)) return false;
  // A second entry of the new key would be written with the first one's value.
  if (newKey != oldKey) {
    for (const Entry& entry : entries_) {
      if (entry.section == section && entry.key == newKey) return false;
    }
  }
  for (Entry& entry : entries_) {
    if (entry.section == section && entry.key == oldKey) {
      entry.key = newKey;
      return true;
    }
  }
  return false;
}

bool ConfigText::hasSection(const std::string& section) const {
  return std::find(sections_.begin(), sections_.end(), section) != sections_.end();
}

std::string ConfigText::sectionName(int number) const {
  if (number < 1 || number > sectionCount()) return std::string();
  return sections_[static_cast<size_t>(number - 1)];
}

std::string ConfigText::keyName(const std::string& section, int number) const {
  if (number < 1) return std::string();
  int seen = 0;
  for (const Entry& entry : entries_) {
    if (entry.section == section && ++seen == number) return entry.key;
  }
  return std::string();
}

bool ConfigText::insertValue(const std::string& section, const std::string& key,
                             const std::string& value, int position) {
  if (isBlank(key) || isBlank(section)) return false;
  if (position < 1) position = 1;
  int before = 0;
  bool sectionHadEntries = false;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].section != section) continue;
    sectionHadEntries = true;
    if (entries_[i].key == key) {
      entries_.erase(entries_.begin() + static_cast<long>(i));
      break;
    }
    ++before;
  }
  if (sectionHadEntries && position <= before) {
    int seen = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].section == section && ++seen == position) {
        entries_.insert(entries_.begin() + static_cast<long>(i), Entry{section, key, value});
        return true;
      }
    }
  }
  entries_.push_back({section, key, value});
  if (!hasSection(section)) sections_.push_back(section);
  return true;
}

void rc4Crypt(Bytes& data, const std::string& key) {
  if (key.empty()) return;
  unsigned char s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + static_cast<unsigned char>(key[static_cast<size_t>(i) % key.size()])) & 255;
    std::swap(s[i], s[j]);
  }
  int i = 0, j = 0;
  for (uint8_t& byte : data) {
    i = (i + 1) & 255;
    j = (j + s[i]) & 255;
    std::swap(s[i], s[j]);
    byte ^= s[(s[i] + s[j]) & 255];
  }
}

}  // namespace ql
