// assetgen -- computes the game's images and sounds.
//
//   assetgen OUTDIR          writes the eight BMP images (the last the window's icon) and six
//                            WAV sounds into OUTDIR
//   assetgen --icons DIR     writes the desktop icon into the icon theme tree DIR:
//                            scalable/apps/pordeck.svg and SIZExSIZE/apps/pordeck.png
//   assetgen --icon SIZE FILE  writes the icon as a SIZE x SIZE PNG (a multiple of 32), as the
//                            browser build's web app manifest names them
//
// Nothing is read and nothing is random: every run writes the same bytes. A file that cannot
// be written is named in one line on standard error and the exit status is 1.
#include "assetgen/pixelart.h"
#include "assetgen/sounds.h"
#include "assetgen/sprites.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int icon_display_size = 256;
constexpr int icon_sizes[] = {16, 32, 48, 64, 128, 256};
constexpr int window_icon_size = 64;

// One file of res/: its name and how it is written there.
struct Asset {
  const char *name;
  bool (*write)(const std::string &path);
};

template <Image (*sprite)()> bool bmp(const std::string &path) {
  return image_save_bmp(sprite(), path);
}
template <Signal (*sound)()> bool wav(const std::string &path);
Image window_icon() {
  return sprite_icon(window_icon_size);
}

constexpr Asset assets[] = {
    {"cursor.bmp", bmp<sprite_cursor>},
    {"box.bmp", bmp<sprite_box>},
    {"boxdestroyed.bmp", bmp<sprite_box_cracked>},
    {"windowclean.bmp", bmp<sprite_window_clean>},
    {"window.bmp", bmp<sprite_window_shattered>},
    {"clock.bmp", bmp<sprite_clock>},
    {"clockdestroyed.bmp", bmp<sprite_clock_broken>},
    {"icon.bmp", bmp<window_icon>},
    {"piou.wav", wav<sound_piou>},
    {"glass.wav", wav<sound_glass>},
    {"box0.wav", wav<sound_box_knock>},
    {"box1.wav", wav<sound_box_break>},
    {"blan.wav", wav<sound_blan>},
    {"alarm.wav", wav<sound_alarm>},
};

// Writes the bytes to path; false when it cannot.
bool write_file(const std::string &path, const void *data, size_t size) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  bool ok = file && std::fwrite(data, 1, size, file) == size;
  if (file && std::fclose(file) != 0) {
    ok = false;
  }
  return ok;
}

// Names the file that could not be written; the exit status.
int cannot_write(const std::string &path) {
  std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
  return 1;
}

template <Signal (*sound)()> bool wav(const std::string &path) {
  const std::vector<uint8_t> bytes = signal_encode_wav(sound());
  return write_file(path, bytes.data(), bytes.size());
}

int write_assets(const std::string &dir) {
  std::error_code ignored; // a directory that cannot be made shows as a file not written
  std::filesystem::create_directories(dir, ignored);
  for (const Asset &asset : assets) {
    const std::string path = dir + "/" + asset.name;
    if (!asset.write(path)) {
      return cannot_write(path);
    }
  }
  return 0;
}

int write_icons(const std::string &dir) {
  std::error_code ignored;
  std::filesystem::create_directories(dir + "/scalable/apps", ignored);
  const std::string svg_path = dir + "/scalable/apps/pordeck.svg";
  const std::string svg = image_encode_svg(sprite_icon(32), icon_display_size);
  if (!write_file(svg_path, svg.data(), svg.size())) {
    return cannot_write(svg_path);
  }
  for (int size : icon_sizes) {
    const std::string apps =
        dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::filesystem::create_directories(apps, ignored);
    if (!image_save_png(sprite_icon(size), apps + "/pordeck.png")) {
      return cannot_write(apps + "/pordeck.png");
    }
  }
  return 0;
}

// One PNG icon; sizes not a multiple of 32 (or out of range) are refused.
int write_icon(const char *size_text, const std::string &path) {
  char *end = nullptr;
  const long size = std::strtol(size_text, &end, 10);
  if (*end != '\0' || size < 32 || size > 1024 || size % 32 != 0) {
    std::fprintf(stderr, "assetgen: icon size must be a multiple of 32 up to 1024: %s\n",
                 size_text);
    return 2;
  }
  return image_save_png(sprite_icon(static_cast<int>(size)), path) ? 0 : cannot_write(path);
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 3 && std::strcmp(argv[1], "--icons") == 0) {
    return write_icons(argv[2]);
  }
  if (argc == 4 && std::strcmp(argv[1], "--icon") == 0) {
    return write_icon(argv[2], argv[3]);
  }
  if (argc == 2 && argv[1][0] != '-') {
    return write_assets(argv[1]);
  }
  std::fprintf(stderr,
               "usage: assetgen OUTDIR | assetgen --icons DIR | assetgen --icon SIZE FILE\n");
  return 2;
}
