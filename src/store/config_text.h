// An ordered INI-like text: sections of key=value lines, CR LF line ends.
// Three process-wide instances hold the three texts of "配置表".
#pragma once
#include <string>
#include <vector>

#include "runtime/files.h"

namespace ql {

class ConfigText {
 public:
  struct Entry {
    std::string section, key, value;
  };

  ConfigText() = default;
  ConfigText(const ConfigText&) = default;
  ConfigText& operator=(const ConfigText&) = default;
  virtual ~ConfigText();

  // Sets the first entry of (section, key) or appends one; false for a blank
  // section or key. Names are compared byte for byte, untrimmed.
  virtual bool setValue(const std::string& section, const std::string& key,
                        const std::string& value);
  virtual std::string getValue(const std::string& section, const std::string& key,
                               const std::string& defaultValue = std::string()) const;
  // With a key: every entry of (section, key); the section name stays listed.
  // Without: every entry of the section and its name.
  virtual bool remove(const std::string& section, const std::string* key = nullptr);
  virtual void clear();
  virtual int sectionCount() const;
  virtual int entryCount(const std::string* section = nullptr) const;
  virtual int sectionNames(std::vector<std::string>& out) const;
  virtual int keyNames(const std::string& section, std::vector<std::string>& out) const;
  // File-backed use: RC4-enciphered when a password is given. Saving on
  // destruction is armed only when the file was read or does not exist.
  virtual bool loadFile(const std::string& path, bool saveOnDestroy, const std::string& password);
  virtual bool saveFile(const std::string& path, const std::string& password);
  virtual bool savePlainFile(const std::string& path);
  // Merges the text's entries in; the caller's text is consumed (left empty).
  virtual bool loadText(std::string& text);
  virtual Bytes toText() const;
  // Both names trimmed; false for a blank name or one another section has.
  virtual bool renameSection(const std::string& oldName, const std::string& newName);
  // False for a blank key or one another entry of the section has.
  virtual bool renameKey(const std::string& section, const std::string& oldKey,
                         const std::string& newKey);
  virtual bool hasSection(const std::string& section) const;
  // 1-based; empty text when out of range.
  virtual std::string sectionName(int number) const;
  virtual std::string keyName(const std::string& section, int number) const;
  // Moves or inserts (section, key) before the position-th entry of the section.
  virtual bool insertValue(const std::string& section, const std::string& key,
                           const std::string& value, int position);

  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
  std::vector<std::string> sections_;
  std::string filePath_;
  bool saveOnDestroy_ = false;
  std::string filePassword_;
};

// RC4 over the bytes in place (enciphers and deciphers alike).
void rc4Crypt(Bytes& data, const std::string& key);

}  // namespace ql
