// pixelart.h -- pictures drawn as rows of palette characters, and their file encodings.
//
// Every sprite is written as text: one character per pixel, each character a colour of the
// one shared palette below. A design is scaled up by a whole factor into an RGBA image, which
// is written as a 32-bit BMP with a real alpha channel, as a PNG, or as an SVG of square cells.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba &) const = default;
};

struct PaletteEntry {
  char key;
  Rgba colour;
};

// The one palette of every sprite. '.' is fully transparent.
inline constexpr PaletteEntry palette[] = {
    {'.', {0, 0, 0, 0}},
    // outlines and shadows
    {'k', {34, 22, 24, 255}},
    {'K', {64, 44, 42, 255}},
    // wood, dark to light
    {'D', {104, 58, 30, 255}},
    {'w', {158, 98, 46, 255}},
    {'W', {198, 136, 70, 255}},
    {'h', {230, 178, 110, 255}},
    // bare wood inside a break
    {'s', {242, 212, 150, 255}},
    // metal: nails, hands, spring
    {'n', {82, 82, 96, 255}},
    {'N', {186, 188, 200, 255}},
    // painted window frame, shadow to highlight
    {'f', {128, 128, 146, 255}},
    {'F', {200, 200, 212, 255}},
    {'E', {244, 244, 250, 255}},
    // glass, deep to glint
    {'b', {56, 104, 156, 255}},
    {'g', {92, 154, 206, 255}},
    {'G', {150, 204, 238, 255}},
    {'H', {232, 246, 255, 255}},
    // the dark behind an empty pane, half see-through
    {'x', {24, 16, 24, 112}},
    // the clock's red body
    {'q', {116, 20, 34, 255}},
    {'r', {194, 40, 46, 255}},
    {'R', {240, 98, 84, 255}},
    // brass bells and feet
    {'o', {150, 100, 20, 255}},
    {'y', {230, 182, 48, 255}},
    {'Y', {255, 236, 140, 255}},
    // the clock's face
    {'C', {196, 188, 172, 255}},
    {'c', {248, 242, 226, 255}},
    // the crosshair
    {'X', {255, 255, 255, 255}},
};

// Index of key in the palette, or -1.
constexpr int palette_index(char key) {
  for (int i = 0; i < static_cast<int>(std::size(palette)); ++i) {
    if (palette[i].key == key) {
      return i;
    }
  }
  return -1;
}

// True when the design has `size` rows of `size` characters, all of them in the palette;
// meant for static_assert beside each design.
constexpr bool design_valid(std::span<const std::string_view> rows, size_t size) {
  if (rows.size() != size) {
    return false;
  }
  for (std::string_view row : rows) {
    if (row.size() != size) {
      return false;
    }
    for (char key : row) {
      if (palette_index(key) < 0) {
        return false;
      }
    }
  }
  return true;
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels; // row by row from the top
};

// The design drawn with every character as a scale × scale block of its colour.
Image image_from_design(std::span<const std::string_view> rows, int scale);
// The image enlarged by a whole factor, each pixel a block.
Image image_scaled(const Image &image, int scale);
// Draws src over dst with src's top-left at x, y, blending by src's alpha.
void image_draw(Image &dst, const Image &src, int x, int y);
// Writes the image as a 32-bit BMP with an alpha channel, as SDL saves it; false on failure.
bool image_save_bmp(const Image &image, const std::string &path);
// Writes the image as an 8-bit RGBA PNG (through SDL_image); false on failure.
bool image_save_png(const Image &image, const std::string &path);
// An SVG shown at display_size pixels, one image pixel a square unit (shape-rendering
// crispEdges): a rect for each block of one colour, transparent pixels left out.
std::string image_encode_svg(const Image &image, int display_size);
