// pixelart.cpp -- turning text designs into RGBA images, and writing those as BMP, PNG and
// SVG.
#include "pixelart.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>

namespace {

Rgba &pixel_at(Image &image, int x, int y) {
  return image.pixels[static_cast<size_t>(y * image.width + x)];
}

const Rgba &pixel_at(const Image &image, int x, int y) {
  return image.pixels[static_cast<size_t>(y * image.width + x)];
}

uint8_t mix(uint8_t under, uint8_t over, uint32_t alpha) {
  return static_cast<uint8_t>((over * alpha + under * (255 - alpha) + 127) / 255);
}

struct Cell {
  int x, y, width, height;
  Rgba colour;
};

std::string svg_rect(const Cell &cell) {
  char text[160];
  std::snprintf(text, sizeof text,
                "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"#%02x%02x%02x\"", cell.x,
                cell.y, cell.width, cell.height, cell.colour.r, cell.colour.g, cell.colour.b);
  std::string rect = text;
  if (cell.colour.a != 255) {
    std::snprintf(text, sizeof text, " fill-opacity=\"%.3f\"", cell.colour.a / 255.0);
    rect += text;
  }
  return rect + "/>\n";
}

// The image as rectangles of one colour: runs along each row, each run joined to an equal
// run right above it, so blocks of a scaled design become one rect each.
std::vector<Cell> image_cells(const Image &image) {
  std::vector<Cell> cells;
  std::vector<size_t> above; // cells that reach the previous row
  for (int y = 0; y < image.height; ++y) {
    std::vector<size_t> here;
    for (int x = 0; x < image.width;) {
      const Rgba &colour = pixel_at(image, x, y);
      int end = x + 1;
      while (end < image.width && pixel_at(image, end, y) == colour) {
        ++end;
      }
      if (colour.a != 0) {
        Cell run{x, y, end - x, 1, colour};
        auto match = std::find_if(above.begin(), above.end(), [&](size_t i) {
          return cells[i].x == run.x && cells[i].width == run.width && cells[i].colour == colour;
        });
        if (match != above.end()) {
          ++cells[*match].height;
          here.push_back(*match);
        } else {
          here.push_back(cells.size());
          cells.push_back(run);
        }
      }
      x = end;
    }
    above = std::move(here);
  }
  return cells;
}

} // namespace

Image image_from_design(std::span<const std::string_view> rows, int scale) {
  Image image;
  image.height = static_cast<int>(rows.size()) * scale;
  image.width = rows.empty() ? 0 : static_cast<int>(rows[0].size()) * scale;
  image.pixels.assign(static_cast<size_t>(image.width * image.height), Rgba{0, 0, 0, 0});
  for (int y = 0; y < image.height; ++y) {
    std::string_view row = rows[static_cast<size_t>(y / scale)];
    for (int x = 0; x < image.width && x / scale < static_cast<int>(row.size()); ++x) {
      int index = palette_index(row[static_cast<size_t>(x / scale)]);
      pixel_at(image, x, y) = index < 0 ? Rgba{0, 0, 0, 0} : palette[index].colour;
    }
  }
  return image;
}

Image image_scaled(const Image &image, int scale) {
  Image result;
  result.width = image.width * scale;
  result.height = image.height * scale;
  result.pixels.resize(static_cast<size_t>(result.width * result.height));
  for (int y = 0; y < result.height; ++y) {
    for (int x = 0; x < result.width; ++x) {
      pixel_at(result, x, y) = pixel_at(image, x / scale, y / scale);
    }
  }
  return result;
}

void image_draw(Image &dst, const Image &src, int x, int y) {
  for (int sy = 0; sy < src.height; ++sy) {
    for (int sx = 0; sx < src.width; ++sx) {
      int dx = x + sx;
      int dy = y + sy;
      if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) {
        continue;
      }
      const Rgba &over = pixel_at(src, sx, sy);
      Rgba &under = pixel_at(dst, dx, dy);
      uint32_t alpha = over.a;
      under.r = mix(under.r, over.r, alpha);
      under.g = mix(under.g, over.g, alpha);
      under.b = mix(under.b, over.b, alpha);
      under.a = static_cast<uint8_t>(alpha + under.a * (255 - alpha) / 255);
    }
  }
}

namespace {

// The image as an SDL surface over its own pixels, handed to save; false when either fails.
bool image_save(const Image &image, const std::string &path,
                int (*save)(SDL_Surface *surface, const char *path)) {
  // The pixels are bytes r, g, b, a in memory order, which is what RGBA32 names.
  SDL_Surface *surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<Rgba *>(image.pixels.data()), image.width,
                                         image.height, 32, image.width * 4, SDL_PIXELFORMAT_RGBA32);
  const bool saved = surface && save(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return saved;
}

int save_bmp(SDL_Surface *surface, const char *path) {
  return SDL_SaveBMP(surface, path);
}

} // namespace

bool image_save_bmp(const Image &image, const std::string &path) {
  return image_save(image, path, save_bmp);
}

bool image_save_png(const Image &image, const std::string &path) {
  return image_save(image, path, IMG_SavePNG);
}

std::string image_encode_svg(const Image &image, int display_size) {
  char head[256];
  std::snprintf(head, sizeof head,
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                "viewBox=\"0 0 %d %d\" shape-rendering=\"crispEdges\">\n",
                display_size, display_size, image.width, image.height);
  std::string svg = head;
  for (const Cell &cell : image_cells(image)) {
    svg += svg_rect(cell);
  }
  return svg + "</svg>\n";
}
