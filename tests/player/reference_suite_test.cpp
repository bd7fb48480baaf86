// Renders every case of the reference suite (movies with the pictures a
// mature Flash player draws for them) and compares with each case's
// tolerance. Prints the pass count and each failure's reason; fails only for
// a case that is not listed in known_failures.txt, so regressions show while
// the count stays honest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "player/core/player.h"
#include "suite_files.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

using suite::trim;

// Used where a case names no tolerance.
constexpr int kDefaultTolerance = 2;

struct Check {
  int tolerance = kDefaultTolerance;
  long maxOutliers = 0;
};

struct Comparison {
  std::string name;
  int trigger = 0;  // 0: after the last frame
  std::vector<Check> checks;
};

struct Case {
  std::string path;  // relative to the suite's visual folder
  int frames = 1;
  bool antialias = true;
  std::vector<Comparison> comparisons;
};

// Splits a dotted key ("image_comparisons.\"output.01\".checks") into its
// parts, keeping quoted parts whole.
std::vector<std::string> keyParts(const std::string& key) {
  std::vector<std::string> parts;
  std::string part;
  bool quoted = false;
  for (char ch : key) {
    if (ch == '"') {
      quoted = !quoted;
    } else if (ch == '.' && !quoted) {
      parts.push_back(trim(part));
      part.clear();
    } else {
      part += ch;
    }
  }
  parts.push_back(trim(part));
  return parts;
}

Comparison* comparisonNamed(Case* c, const std::string& name) {
  for (auto& existing : c->comparisons)
    if (existing.name == name) return &existing;
  c->comparisons.push_back(Comparison{name, 0, {}});
  return &c->comparisons.back();
}

// Reads the few test.toml forms the suite uses.
bool readCase(const std::string& dir, Case* c) {
  std::ifstream in(dir + "/test.toml");
  if (!in) return false;
  std::string line;
  Comparison* current = nullptr;
  Check* check = nullptr;
  while (std::getline(in, line)) {
    line = trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      bool many = line.rfind("[[", 0) == 0;
      std::string section = trim(line.substr(many ? 2 : 1, line.find(']') - (many ? 2 : 1)));
      std::vector<std::string> parts = keyParts(section);
      current = nullptr;
      check = nullptr;
      if (parts.size() >= 2 && parts[0] == "image_comparisons") {
        current = comparisonNamed(c, parts[1]);
        // [image_comparisons.NAME] holds one check; [[...NAME.checks]] one of several.
        if (!many || parts.size() > 2) {
          current->checks.emplace_back();
          check = &current->checks.back();
        }
      }
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::vector<std::string> key = keyParts(trim(line.substr(0, eq)));
    std::string value = trim(line.substr(eq + 1));
    // image_comparisons."NAME".trigger = N at the top level.
    if (key.size() == 3 && key[0] == "image_comparisons") {
      Comparison* named = comparisonNamed(c, key[1]);
      if (key[2] == "trigger") named->trigger = std::atoi(value.c_str());
      if (named->checks.empty()) named->checks.emplace_back();
      continue;
    }
    const std::string& name = key.back();
    if (name == "num_frames" || name == "num_ticks") c->frames = std::atoi(value.c_str());
    if (name == "trigger" && current) current->trigger = std::atoi(value.c_str());
    if (name == "tolerance" && check) check->tolerance = std::atoi(value.c_str());
    if (name == "max_outliers" && check) check->maxOutliers = std::atol(value.c_str());
    if (name == "with_renderer") c->antialias = value.find("\"low\"") == std::string::npos;
  }
  if (c->comparisons.empty()) c->comparisons.push_back(Comparison{"output", 0, {Check()}});
  for (auto& cmp : c->comparisons)
    if (cmp.checks.empty()) cmp.checks.emplace_back();
  return true;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Straight RGBA from the engine's premultiplied B, G, R, A.
std::vector<uint8_t> toRgba(const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> out(pixels.size() * 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    uint32_t p = pixels[i], a = p >> 24;
    auto un = [a](uint32_t c) { return static_cast<uint8_t>(a ? std::min<uint32_t>(255, (c * 255 + a / 2) / a) : 0); };
    out[i * 4] = un((p >> 16) & 0xFF);
    out[i * 4 + 1] = un((p >> 8) & 0xFF);
    out[i * 4 + 2] = un(p & 0xFF);
    out[i * 4 + 3] = static_cast<uint8_t>(a);
  }
  return out;
}

// Empty when the picture matches; otherwise why not.
std::string compare(const std::vector<uint8_t>& actual, const uint8_t* expected, size_t pixels,
                    const std::vector<Check>& checks) {
  for (const Check& check : checks) {
    long outliers = 0;
    int largest = 0;
    for (size_t i = 0; i < pixels * 4; i += 4) {
      int d = 0;
      for (int k = 0; k < 4; ++k) d = std::max(d, std::abs(actual[i + k] - expected[i + k]));
      largest = std::max(largest, d);
      if (d > check.tolerance) ++outliers;
    }
    if (outliers > check.maxOutliers) {
      std::ostringstream why;
      why << outliers << " pixels differ by more than " << check.tolerance << " (allowed "
          << check.maxOutliers << "), largest difference " << largest;
      return why.str();
    }
  }
  return "";
}

std::string runCase(const std::string& suite, const Case& c, const std::string& outDir) {
  std::string dir = suite + "/" + c.path;
  std::vector<uint8_t> movie = readBytes(dir + "/test.swf");
  auto player = player::Player::load(movie.data(), movie.size());
  if (!player) return "the movie does not load";
  player->setAntialias(c.antialias);
  std::string failures;
  int shown = 0;
  std::vector<Comparison> order = c.comparisons;
  std::sort(order.begin(), order.end(), [&](const Comparison& a, const Comparison& b) {
    return (a.trigger ? a.trigger : c.frames) < (b.trigger ? b.trigger : c.frames);
  });
  for (const Comparison& cmp : order) {
    int frame = cmp.trigger > 0 ? cmp.trigger : c.frames;
    while (shown < frame) {
      player->advanceFrame();
      ++shown;
    }
    std::string expectedPath = dir + "/" + cmp.name + ".expected.png";
    int w = 0, h = 0, comp = 0;
    uint8_t* expected = stbi_load(expectedPath.c_str(), &w, &h, &comp, 4);
    if (!expected) return "no expected picture " + cmp.name + ".expected.png";
    std::vector<uint32_t> pixels(size_t(w) * h);
    player->render(pixels.data(), w, h, w * 4, true);
    std::vector<uint8_t> actual = toRgba(pixels);
    std::string why = compare(actual, expected, pixels.size(), cmp.checks);
    stbi_image_free(expected);
    if (!why.empty()) {
      std::string flat = c.path;
      std::replace(flat.begin(), flat.end(), '/', '_');
      stbi_write_png((outDir + "/" + flat + "." + cmp.name + ".png").c_str(), w, h, 4,
                     actual.data(), w * 4);
      failures += (failures.empty() ? "" : "; ") + cmp.name + ": " + why;
    }
  }
  return failures;
}

// Runs every case under the suite's `folder`; failures not listed in
// `knownList` fail the test.
void runSuiteFolder(const std::string& folder, const std::string& knownList) {
  const std::string suite = QL_SWF_SUITE_DIR "/" + folder;
  if (!std::filesystem::is_directory(suite)) {
    GTEST_SKIP() << "reference suite not found at " << suite;
  }
  std::vector<std::string> cases;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(suite)) {
    if (entry.path().filename() == "test.toml")
      cases.push_back(std::filesystem::relative(entry.path().parent_path(), suite).generic_string());
  }
  std::sort(cases.begin(), cases.end());
  ASSERT_FALSE(cases.empty());
  auto known = suite::readKnownFailures(knownList);
  // Pictures of failing cases go here for a look.
  std::string outDir = std::string(QL_BINARY_DIR) + "/swf-suite-out/" + folder;
  std::filesystem::create_directories(outDir);

  int passed = 0;
  std::vector<std::string> unexpected, fixed;
  for (const std::string& rel : cases) {
    Case c;
    c.path = rel;
    ASSERT_TRUE(readCase(suite + "/" + rel, &c)) << rel;
    std::string why = runCase(suite, c, outDir);
    bool isKnown = known.count(rel) > 0;
    if (why.empty()) {
      ++passed;
      std::printf("  pass  %s\n", rel.c_str());
      if (isKnown) fixed.push_back(rel);
    } else {
      std::printf("  FAIL  %s: %s%s\n", rel.c_str(), why.c_str(),
                  isKnown ? (" [known: " + known[rel] + "]").c_str() : "");
      if (!isKnown) unexpected.push_back(rel + ": " + why);
    }
  }
  std::printf("Reference suite, %s: %d of %zu cases pass\n", folder.c_str(), passed, cases.size());
  for (const std::string& f : fixed)
    std::printf("  note: %s passes now; remove it from %s\n", f.c_str(), knownList.c_str());
  for (const std::string& u : unexpected) ADD_FAILURE() << "unexpected failure: " << u;
}

}  // namespace

TEST(ReferenceSuite, VisualCasesMatchWithinTolerance) {
  runSuiteFolder("visual", QL_KNOWN_FAILURES_DIR "/known_failures.txt");
}

// Text, buttons and the filters drawn on them.
TEST(ReferenceSuite, MediaCasesMatchWithinTolerance) {
  runSuiteFolder("media", QL_KNOWN_FAILURES_DIR "/known_media_failures.txt");
}
