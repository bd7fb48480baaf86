// Runs every scripted case of the reference suite (movies with the text
// their trace() calls print in a mature Flash player) with the suite's fixed
// clock and compares the lines. Prints one line per case and the pass count;
// fails only for a case that is not listed in known_avm1_failures.txt, so
// regressions show while the count stays honest. QL_AVM1_CASES=a,b runs only
// the cases named; failing cases' output goes to the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "player/core/player.h"
#include "player/text/freetype_fonts.h"
#include "suite_files.h"

namespace {

using suite::trim;

struct Case {
  int frames = 1;
  bool knownToReference = false;  // the suite's own player did not match it either
  // Numbers compared within epsilon: whole lines that are numbers, or the
  // matches of patterns inside lines.
  bool approximate = false;
  bool bareNumbers = false;
  double epsilon = 0;
  std::vector<std::string> patterns;
};

Case readCase(const std::string& dir) {
  Case c;
  std::ifstream in(dir + "/test.toml");
  std::string line;
  std::string section;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      section = line;
      if (section == "[approximations]") c.approximate = true;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
    size_t comment = value.find(" #");
    if (comment != std::string::npos) value = trim(value.substr(0, comment));
    if (key == "num_frames" || key == "num_ticks") c.frames = std::atoi(value.c_str());
    if (key == "known_failure") c.knownToReference = value == "true";
    if (section == "[approximations]") {
      if (key == "bare_numbers") c.bareNumbers = value == "true";
      if (key == "epsilon") c.epsilon = std::atof(value.c_str());
      if (key == "number_patterns") {
        // ["(\\d+\\.\\d+)", ...]
        std::regex item("\"((?:[^\"\\\\]|\\\\.)*)\"");
        for (std::sregex_iterator it(value.begin(), value.end(), item), end; it != end; ++it) {
          std::string p = (*it)[1];
          std::string unescaped;
          for (size_t i = 0; i < p.size(); ++i) {
            if (p[i] == '\\' && i + 1 < p.size()) ++i;
            unescaped += p[i];
          }
          c.patterns.push_back(unescaped);
        }
      }
    }
  }
  return c;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool close(double a, double b, double epsilon) {
  if (a == b) return true;
  double d = std::fabs(a - b);
  return d <= epsilon || d <= epsilon * std::fabs(b);
}

bool parseNumber(const std::string& s, double* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  *out = std::strtod(s.c_str(), &end);
  return end && *end == 0;
}

bool linesMatch(const Case& c, const std::string& actual, const std::string& expected) {
  if (actual == expected) return true;
  if (!c.approximate) return false;
  double a, b;
  if (c.bareNumbers && parseNumber(actual, &a) && parseNumber(expected, &b)) return close(a, b, c.epsilon);
  for (const std::string& pattern : c.patterns) {
    std::regex re(pattern);
    std::vector<double> xs, ys;
    auto collect = [&](const std::string& s, std::vector<double>* out) {
      for (std::sregex_iterator it(s.begin(), s.end(), re), end; it != end; ++it)
        out->push_back(std::atof((*it)[it->size() > 1 ? 1 : 0].str().c_str()));
      return std::regex_replace(s, re, "#");
    };
    if (collect(actual, &xs) != collect(expected, &ys) || xs.size() != ys.size()) continue;
    bool all = true;
    for (size_t i = 0; i < xs.size(); ++i) all = all && close(xs[i], ys[i], c.epsilon);
    if (all) return true;
  }
  return false;
}

// Empty when the case prints what the reference printed; otherwise why not.
std::string runCase(const std::string& dir, const Case& c, std::string* printed) {
  std::ifstream movieFile(dir + "/test.swf", std::ios::binary);
  std::vector<uint8_t> movie((std::istreambuf_iterator<char>(movieFile)), std::istreambuf_iterator<char>());
  player::PlayerServices options;
  options.clock = player::fixedClock();
  options.codePage = 1252;  // the code page the suite's movies were made with
  options.randomSeed = 1;
  options.url = "file:///test.swf";  // where the reference run had each case's movie
  // Text measured by scripts needs the system's fonts, as in the player.
  static std::unique_ptr<text::DeviceFonts> fonts = text::makeFreeTypeFonts(text::installedChineseFonts());
  options.deviceFonts = fonts.get();
  std::string out;
  options.trace = [&out](const std::string& line) {
    // A runaway case stops being recorded long after any expected text.
    if (out.size() < (8u << 20)) out += line + "\n";
  };
  auto p = player::Player::load(movie.data(), movie.size(), std::move(options));
  if (!p) return "the movie does not load";
  for (int i = 0; i < c.frames; ++i) p->advanceFrame();
  *printed = out;
  std::ifstream expectedFile(dir + "/output.txt", std::ios::binary);
  std::string expectedText((std::istreambuf_iterator<char>(expectedFile)), std::istreambuf_iterator<char>());
  std::vector<std::string> actual = splitLines(out), expected = splitLines(expectedText);
  size_t n = std::max(actual.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    std::string a = i < actual.size() ? actual[i] : "<end>";
    std::string e = i < expected.size() ? expected[i] : "<end>";
    if (!linesMatch(c, a, e)) {
      std::ostringstream why;
      why << "line " << i + 1 << ": expected \"" << e.substr(0, 80) << "\", got \"" << a.substr(0, 80) << "\"";
      return why.str();
    }
  }
  return "";
}

}  // namespace

TEST(ReferenceSuite, ScriptedCasesPrintWhatTheReferencePrints) {
  const std::string suite = QL_SWF_SUITE_DIR "/avm1";
  if (!std::filesystem::is_directory(suite)) GTEST_SKIP() << "reference suite not found at " << suite;
  std::set<std::string> only;
  if (const char* list = std::getenv("QL_AVM1_CASES")) {
    std::stringstream names(list);
    std::string name;
    while (std::getline(names, name, ',')) only.insert(name);
  }
  std::vector<std::string> cases;
  for (const auto& entry : std::filesystem::directory_iterator(suite))
    if (entry.is_directory() && (only.empty() || only.count(entry.path().filename().string())))
      cases.push_back(entry.path().filename().string());
  std::sort(cases.begin(), cases.end());
  ASSERT_FALSE(cases.empty());
  auto known = suite::readKnownFailures(QL_KNOWN_FAILURES_DIR "/known_avm1_failures.txt");
  std::string outDir = std::string(QL_BINARY_DIR) + "/avm1-suite-out";
  std::filesystem::create_directories(outDir);

  int passed = 0;
  std::vector<std::string> unexpected, fixed;
  for (const std::string& name : cases) {
    Case c = readCase(suite + "/" + name);
    std::string printed;
    std::string why = runCase(suite + "/" + name, c, &printed);
    bool isKnown = known.count(name) > 0;
    if (why.empty()) {
      ++passed;
      std::printf("  pass  %s\n", name.c_str());
      if (isKnown) fixed.push_back(name);
    } else {
      std::ofstream(outDir + "/" + name + ".txt", std::ios::binary) << printed;
      std::printf("  FAIL  %s: %s%s\n", name.c_str(), why.c_str(),
                  isKnown ? (" [known: " + known[name] + "]").c_str() : "");
      if (!isKnown) unexpected.push_back(name + ": " + why);
    }
  }
  std::printf("Scripted reference cases: %d of %zu pass\n", passed, cases.size());
  for (const std::string& f : fixed) std::printf("  note: %s passes now; remove it from known_avm1_failures.txt\n", f.c_str());
  for (const std::string& u : unexpected) ADD_FAILURE() << "unexpected failure: " << u;
}
