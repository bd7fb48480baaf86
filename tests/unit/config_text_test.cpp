#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "runtime/text.h"
#include "store/config_text.h"

using namespace ql;

namespace {

std::string textOf(const ConfigText& c) {
  Bytes b = c.toText();
  return std::string(b.begin(), b.end());
}

ConfigText loaded(std::string text) {
  ConfigText c;
  c.loadText(text);
  return c;
}

}  // namespace

TEST(ConfigTextLoad, DropsLinesBeforeTheFirstSectionAndKeepsBlanksAroundEquals) {
  ConfigText c = loaded("a=1\r\n[S]\r\nk = v\r\n");
  ASSERT_EQ(c.entryCount(), 1);
  EXPECT_EQ(c.entries()[0].section, "S");
  EXPECT_EQ(c.entries()[0].key, "k ");
  EXPECT_EQ(c.entries()[0].value, " v");
}

TEST(ConfigTextLoad, ReadsSectionsKeysAndValuesAsStored) {
  ConfigText c = loaded("[abc\r\nx=1\r\nno equals\r\n  [控制配置]  \r\n左边=a=b\r\n=v\r\n\xA1\xA1k=1\xA1\xA1");
  EXPECT_EQ(c.getValue("ab", "x"), "1");  // the last character is dropped unchecked
  EXPECT_EQ(c.getValue("控制配置", "左边"), "a=b");
  EXPECT_EQ(c.getValue("控制配置", "k"), "1");
  EXPECT_EQ(c.entryCount(), 3);
}

TEST(ConfigTextLoad, ConsumesTheTextAndMergesIntoExistingEntries) {
  ConfigText c;
  c.setValue("S", "old", "1");
  std::string text = "[S]\r\nold=2\r\nnew=3";
  EXPECT_TRUE(c.loadText(text));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(c.getValue("S", "old"), "2");
  EXPECT_EQ(c.getValue("S", "new"), "3");
  std::string empty;
  EXPECT_FALSE(c.loadText(empty));
}

TEST(ConfigTextLoad, SurvivesAnyBytes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string junk(static_cast<size_t>(rng() % 600), '\0');
    for (char& ch : junk) {
      const char pool[] = {'[', ']', '=', '\r', '\n', ' ', 'a', '\xA1', '\xB0', '\xFE', '\0', '\''};
      ch = (rng() % 3 == 0) ? static_cast<char>(rng()) : pool[rng() % sizeof pool];
    }
    ConfigText c;
    c.loadText(junk);
    std::string again = textOf(c);
    ConfigText d;
    d.loadText(again);
    EXPECT_EQ(textOf(d), textOf(c));
  }
  ConfigText huge;
  std::string big = "[S]\r\nk=" + std::string(1 << 20, 'x');
  huge.loadText(big);
  EXPECT_EQ(huge.getValue("S", "k").size(), 1u << 20);
}

TEST(ConfigTextSave, WritesSectionsThenTheirKeysWithCrLf) {
  ConfigText c;
  c.setValue("S", "k", "v");
  c.setValue("T", "a", "b");
  EXPECT_EQ(textOf(c), "[S]\r\nk=v\r\n[T]\r\na=b\r\n");
  EXPECT_EQ(textOf(ConfigText()), "");
}

TEST(ConfigTextSave, AnEmptiedSectionStaysListedOnceWhenRefilled) {
  ConfigText c;
  c.setValue("S", "k", "v");
  c.setValue("T", "t", "1");
  std::string key = "k";
  c.remove("S", &key);
  EXPECT_EQ(textOf(c), "[S]\r\n[T]\r\nt=1\r\n");
  c.setValue("S", "n", "1");
  EXPECT_EQ(textOf(c), "[S]\r\nn=1\r\n[T]\r\nt=1\r\n");
  EXPECT_EQ(c.sectionCount(), 2);
  key = "n";
  c.remove("S", &key);
  c.insertValue("S", "m", "2", 1);
  EXPECT_EQ(textOf(c), "[S]\r\nm=2\r\n[T]\r\nt=1\r\n");
  c.remove("S");
  EXPECT_EQ(textOf(c), "[T]\r\nt=1\r\n");
  EXPECT_FALSE(c.hasSection("S"));
}

TEST(ConfigTextValues, BlankNamesAreRejectedAndDefaultsApply) {
  ConfigText c;
  EXPECT_FALSE(c.setValue(" ", "k", "v"));
  EXPECT_FALSE(c.setValue("S", "\xA1\xA1", "v"));
  EXPECT_TRUE(c.setValue("S", "k", "v"));
  EXPECT_EQ(c.getValue("S", "   ", "dflt"), "dflt");
  EXPECT_EQ(c.getValue("S", "K", "dflt"), "dflt");  // case-sensitive
  EXPECT_EQ(c.getValue("S", "k "), "");             // untrimmed
  EXPECT_TRUE(c.setValue("S", "k", "w"));
  EXPECT_EQ(c.entryCount(), 1);
  EXPECT_EQ(c.getValue("S", "k"), "w");
  EXPECT_FALSE(c.remove(" "));
}

TEST(ConfigTextNames, ListAndNumberSectionsAndKeys) {
  ConfigText c = loaded("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  std::vector<std::string> names;
  EXPECT_EQ(c.sectionNames(names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(c.keyNames("A", names), 2);
  EXPECT_EQ(names, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(c.sectionName(2), "B");
  EXPECT_EQ(c.sectionName(3), "");
  EXPECT_EQ(c.sectionName(0), "");
  EXPECT_EQ(c.keyName("A", 2), "y");
  EXPECT_EQ(c.keyName("A", 3), "");
  std::string a = "A";
  EXPECT_EQ(c.entryCount(&a), 2);
}

TEST(ConfigTextRename, SectionsAreTrimmedKeysAreNot) {
  ConfigText c = loaded("[A]\r\nx=1\r\n[B]\r\nz=3\r\ny=4\r\n");
  EXPECT_TRUE(c.renameSection(" A ", " 新分类 "));
  EXPECT_EQ(c.sectionName(1), "新分类");
  EXPECT_EQ(c.getValue("新分类", "x"), "1");
  EXPECT_FALSE(c.renameSection("missing", "C"));
  EXPECT_FALSE(c.renameSection("B", "  "));
  EXPECT_TRUE(c.renameKey("B", "z", "w"));
  EXPECT_EQ(c.getValue("B", "w"), "3");
  EXPECT_FALSE(c.renameKey("B", "z", "q"));
  EXPECT_FALSE(c.renameKey("B", "w", ""));
  EXPECT_FALSE(c.renameKey("B", "w", " \xA1\xA1"));
}

TEST(ConfigTextRename, NeverMergesIntoAnExistingName) {
  // Two sections or keys of one name would write one of them twice and lose the other.
  ConfigText c = loaded("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  EXPECT_FALSE(c.renameSection("A", "B"));
  EXPECT_FALSE(c.renameKey("A", "x", "y"));
  EXPECT_EQ(textOf(c), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  EXPECT_TRUE(c.renameSection("A", "A"));
  EXPECT_TRUE(c.renameKey("A", "x", "x"));
  EXPECT_EQ(textOf(c), "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
}

TEST(ConfigTextInsert, MovesAnEntryWithinItsSection) {
  auto keys = [](const ConfigText& c) {
    std::vector<std::string> k;
    c.keyNames("S", k);
    return k;
  };
  ConfigText c = loaded("[S]\r\na=1\r\nb=2\r\nc=3\r\n[T]\r\nt=0\r\n");
  EXPECT_TRUE(c.insertValue("S", "c", "3", 1));
  EXPECT_EQ(keys(c), (std::vector<std::string>{"c", "a", "b"}));
  c.insertValue("S", "a", "1", 3);
  EXPECT_EQ(keys(c), (std::vector<std::string>{"c", "b", "a"}));
  c.insertValue("S", "c", "3", 5);
  EXPECT_EQ(keys(c), (std::vector<std::string>{"b", "a", "c"}));
  EXPECT_EQ(c.entries().back().key, "c");  // last of all entries
  c.insertValue("S", "new", "9", 2);
  EXPECT_EQ(keys(c), (std::vector<std::string>{"b", "new", "a", "c"}));
  c.insertValue("U", "u", "1", 1);
  EXPECT_EQ(c.sectionName(3), "U");
  EXPECT_FALSE(c.insertValue("S", " ", "1", 1));
}

TEST(ConfigTextRoundTrip, RandomTextsComeBackWithTheSameEntries) {
  std::mt19937 rng(2026);
  const std::vector<std::string> pieces = {"分类", "项目", "a", "B", "=", "'", " ", "\xA1\xA1",
                                           "C:\\Windows\\", "[", "]", "x y", "真", "假", "1"};
  auto randomText = [&](bool allowEquals, bool edgeSpaces) {
    std::string s;
    size_t n = 1 + rng() % 4;
    for (size_t i = 0; i < n; ++i) {
      const std::string& p = pieces[rng() % pieces.size()];
      if (!allowEquals && p == "=") continue;
      s += p;
    }
    if (!edgeSpaces) s = trimSpaces(s);
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    ConfigText c;
    for (int i = 0; i < 12; ++i) {
      std::string section = randomText(true, false);
      std::string key = randomText(false, false);
      // A key starting with "[" would read back as a section line.
      if (section.empty() || key.empty() || key[0] == '[') continue;
      c.setValue(section, key, randomText(true, false));
    }
    std::string text = textOf(c);
    ConfigText back;
    back.loadText(text);
    // The text groups entries by section, so compare section by section.
    ASSERT_EQ(back.entryCount(), c.entryCount()) << textOf(c);
    std::vector<std::string> sections, backSections;
    c.sectionNames(sections);
    back.sectionNames(backSections);
    ASSERT_EQ(backSections, sections);
    for (const std::string& section : sections) {
      std::vector<std::string> keys, backKeys;
      c.keyNames(section, keys);
      back.keyNames(section, backKeys);
      ASSERT_EQ(backKeys, keys);
      for (const std::string& key : keys) EXPECT_EQ(back.getValue(section, key), c.getValue(section, key));
    }
  }
}

TEST(ConfigTextFile, Rc4FilesRoundTripAndSaveOnDestroy) {
  std::string path = testing::TempDir() + "/config_rc4.ini";
  {
    ConfigText c;
    c.setValue("S", "k", "值");
    ASSERT_TRUE(c.saveFile(path, "pw"));
  }
  Bytes raw;
  ASSERT_TRUE(readWholeFile(path, raw));
  EXPECT_EQ(std::string(raw.begin(), raw.end()).find("[S]"), std::string::npos);
  {
    ConfigText c;
    ASSERT_TRUE(c.loadFile(path, true, "pw"));
    EXPECT_EQ(c.getValue("S", "k"), "值");
    c.setValue("S", "k2", "2");
  }
  ConfigText c;
  c.loadFile(path, false, "pw");
  EXPECT_EQ(c.getValue("S", "k2"), "2");
  EXPECT_FALSE(c.savePlainFile(" "));
}

TEST(ConfigTextFile, AFailedReadNeverSavesOverTheFile) {
  // A write-only file: it exists, can be written, but not read. Root reads
  // anything, so the load runs in a child process as another user.
  const uid_t kNobody = 65534;
  std::string unreadable = testing::TempDir() + "/config_unreadable.ini";
  ASSERT_TRUE(writeWholeFile(unreadable, Bytes{'[', 'S', ']', '\r', '\n', 'k', '=', 'v'}));
  ASSERT_EQ(chmod(unreadable.c_str(), 0200), 0);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(unreadable.c_str(), kNobody, kNobody), 0);
  }
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && setuid(kNobody) != 0) _exit(2);
    bool loaded;
    {
      ConfigText c;
      loaded = c.loadFile(unreadable, true, "");
    }
    _exit(loaded ? 3 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Bytes kept;
  chmod(unreadable.c_str(), 0600);
  ASSERT_TRUE(readWholeFile(unreadable, kept));
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "[S]\r\nk=v");
  std::remove(unreadable.c_str());

  // A file that is not there yet has nothing to lose: it is made on destruction.
  std::string fresh = testing::TempDir() + "/config_fresh.ini";
  std::remove(fresh.c_str());
  {
    ConfigText c;
    EXPECT_FALSE(c.loadFile(fresh, true, ""));
    c.setValue("S", "k", "v");
  }
  Bytes raw;
  ASSERT_TRUE(readWholeFile(fresh, raw));
  EXPECT_EQ(std::string(raw.begin(), raw.end()), "[S]\r\nk=v\r\n");
  std::remove(fresh.c_str());
}
