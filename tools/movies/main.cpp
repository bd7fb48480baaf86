// swf-catalogue OUT_DIR [--sheets SHEET_DIR]
// Writes the shipped movies as OUT_DIR/<category>/<name>.swf, the layout the
// data-file tool reads its catalogue from. --sheets also draws, per movie, a
// contact sheet of eight moments of its loop over a dark and a light desktop.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue.h"
#include "player/core/player.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace fs = std::filesystem;

namespace {

bool writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A desktop to look at a movie on: a dark blue or a pale wallpaper.
uint32_t backdrop(bool light, int x, int y, int height) {
  double t = double(y) / height;
  int r, g, b;
  if (light) {
    r = int(236 + 14 * t);
    g = int(238 + 12 * t);
    b = int(242 + 10 * t);
    if (((x / 24) + (y / 24)) % 2) r -= 6, g -= 6, b -= 4;
  } else {
    r = int(22 + 40 * t);
    g = int(48 + 60 * t);
    b = int(84 + 80 * t);
  }
  return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Eight moments of the loop, at half size, over both desktops.
bool writeSheet(const catalogue::ShippedMovie& movie, const fs::path& path) {
  const int w = 300, h = 200, columns = 4;
  std::vector<uint8_t> sheet(size_t(w) * columns * h * 4 * 3, 0);
  auto player = player::Player::load(movie.bytes.data(), movie.bytes.size());
  if (!player) return false;
  std::vector<uint32_t> frame(size_t(w) * h);
  int shown = 0;
  for (int k = 0; k < 8; ++k) {
    int target = 1 + k * movie.loopFrames / 8;
    while (shown < target) {
      player->advanceFrame();
      ++shown;
    }
    player->render(frame.data(), w, h, w * 4, false);
    // Rows one and two: the whole loop over the dark desktop; row three: its
    // first half over the light one.
    for (bool light : {false, true}) {
      if (light && k >= columns) continue;
      int cellX = (k % columns) * w, cellY = light ? 2 * h : (k / columns) * h;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          uint32_t src = frame[size_t(y) * w + x], dst = backdrop(light, x, y, h);
          uint32_t a = src >> 24;
          uint8_t* out = &sheet[(size_t(cellY + y) * w * columns + cellX + x) * 4];
          for (int c = 0; c < 3; ++c) {
            uint32_t s = (src >> (16 - 8 * c)) & 0xFF, d = (dst >> (16 - 8 * c)) & 0xFF;
            out[c] = static_cast<uint8_t>(s + d * (255 - a) / 255);
          }
          out[3] = 255;
        }
    }
  }
  return stbi_write_png(path.string().c_str(), w * columns, h * 3, 4, sheet.data(),
                        w * columns * 4) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheets")) {
    std::fprintf(stderr, "usage: swf-catalogue OUT_DIR [--sheets SHEET_DIR]\n");
    return 2;
  }
  fs::path out = fs::u8path(argv[1]);
  std::vector<catalogue::ShippedMovie> movies = catalogue::allMovies();
  for (const catalogue::ShippedMovie& movie : movies) {
    fs::path folder = out / fs::u8path(movie.category);
    fs::create_directories(folder);
    if (!writeFile(folder / fs::u8path(movie.name + ".swf"), movie.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", (folder / fs::u8path(movie.name)).string().c_str());
      return 1;
    }
  }
  if (argc == 4) {
    fs::path sheets = fs::u8path(argv[3]);
    fs::create_directories(sheets);
    for (const catalogue::ShippedMovie& movie : movies)
      if (!writeSheet(movie, sheets / fs::u8path(movie.category + "-" + movie.name + ".png"))) {
        std::fprintf(stderr, "cannot draw %s\n", movie.name.c_str());
        return 1;
      }
  }
  std::printf("%zu movies in %s\n", movies.size(), out.string().c_str());
  return 0;
}
