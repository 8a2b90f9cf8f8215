// sprites.cpp -- the designs of the game's pictures.
//
// Props are designed at half size and drawn at twice that, so every sprite shares the same
// chunky 2 × 2 pixel; the crosshair alone is drawn at its own size, so that its centre is one
// pixel.
// Light falls from the top left: highlights on top and left edges, shadows bottom and right.
#include "sprites.h"

namespace {

constexpr int prop_scale = 2;

// clang-format off
// The crosshair: bold white strokes outlined in near-black, so that it shows on the dark
// background, the white window frames, the blue glass and the wood alike, and stays near
// white for the red flash of a shot. Its size is odd: the centre pixel (11, 11), the middle
// of a 3 x 3 dot, is the one the game puts on the mouse, and every flip keeps it there.
constexpr std::string_view cursor_design[] = {
    ".........kkkkk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kkkkk.........",
    ".......................",
    "kkkkkkkk.kkkkk.kkkkkkkk",
    "kXXXXXXk.kXXXk.kXXXXXXk",
    "kXXXXXXk.kXXXk.kXXXXXXk",
    "kXXXXXXk.kXXXk.kXXXXXXk",
    "kkkkkkkk.kkkkk.kkkkkkkk",
    ".......................",
    ".........kkkkk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kXXXk.........",
    ".........kkkkk.........",
};
static_assert(design_valid(cursor_design, 23));

// A wooden crate: a nailed frame of planks around a braced panel.
constexpr std::string_view box_design[] = {
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "khhhhhhhhhhhhhhhhhhhhhhhhhhhhhhk",
    "kWNnWWWWWWWWWWWNnWWWWWWWWWWWNnWk",
    "kWnkWWWWWWWWWWWnkWWWWWWWWWWWnkWk",
    "kwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwk",
    "khWWwkkkkkkkkkkkkkkkkkkkkkkWwwDk",
    "khWWwkWwwwDWwwwDWwwwDWwhWWDWwwDk",
    "khWWwkWwwwDWwwwDWwwwDWhWWWDWwwDk",
    "khWWwkWwwwDWwwwDWwwwDhWWWDDWwwDk",
    "khWWwkWwwwDWwwwDWwwwhWWWDwDWwwDk",
    "khWWwkWwwwDWwwwDWwwhWWWDwwDWwwDk",
    "khWWwkWwwwDWwwwDWwhWWWDwwwDWwwDk",
    "khWWwkWwwwDWwwwDWhWWWDwwwwDWwwDk",
    "khWWwkWwwwDWwwwDhWWWDWwwwwDWwwDk",
    "khWWwkWwwwDWwwwhWWWDDWwwwwDWwwDk",
    "khNnwkWwwwDWwwhWWWDwDWwwwwDWNnDk",
    "khnkwkWwwwDWwhWWWDwwDWwwwwDWnkDk",
    "khWWwkWwwwDWhWWWDwwwDWwwwwDWwwDk",
    "khWWwkWwwwDhWWWDWwwwDWwwwwDWwwDk",
    "khWWwkWwwwhWWWDDWwwwDWwwwwDWwwDk",
    "khWWwkWwwhWWWDwDWwwwDWwwwwDWwwDk",
    "khWWwkWwhWWWDwwDWwwwDWwwwwDWwwDk",
    "khWWwkWhWWWDwwwDWwwwDWwwwwDWwwDk",
    "khWWwkhWWWDWwwwDWwwwDWwwwwDWwwDk",
    "khWWwkWWWDDWwwwDWwwwDWwwwwDWwwDk",
    "khWWwkWWDwDWwwwDWwwwDWwwwwDWwwDk",
    "khWWwkDDDDDDDDDDDDDDDDDDDDDWwwDk",
    "kWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWk",
    "kwNnwwwwwwwwwwwNnwwwwwwwwwwwNnwk",
    "kwnkwwwwwwwwwwwnkwwwwwwwwwwwnkwk",
    "kDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDk",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
};
static_assert(design_valid(box_design, 32));

// The same crate after one hit: a hole punched through the panel, cracks running to the
// edges and a corner knocked off.
constexpr std::string_view box_cracked_design[] = {
    ".kkkkkkkkkkkkkkkkkkkkkk.........",
    "khhhhhhhhhhhhhkshhhhhhsk........",
    "kWNnWWWWWWWWWWksnWWWWWWWkk......",
    "kWnkWWWWWWWWWksnkWWWWWWWsk......",
    "kwwwwwwwwwwwwkswwwwwwwwwwsk.....",
    "khWWwkkkkkkkkkkkkkkkkkkkkkkkk...",
    "khWWwkWwwwDWwwksWwwwDWwhWWDsk...",
    "khWWwkWwwwDWwwwkswwwDWhWWWDWsk..",
    "khWWwkWwwwDWwwwkswwwDhWWWDDWwwkk",
    "khWWwkWwwwDWwwksWwwwhWWWDwDWwwDk",
    "khWWwkWwwwDWwwksWwwhWWWDwwDWwwDk",
    "khWWwkWwwwDssswkswhWWWDwwwDkswDk",
    "khWWwkWwwwskkkskksWWWDwwwkkswwDk",
    "khWWwkWwwwskKKkKKssWDWwkksDWwwDk",
    "khWWwkWwwwDskKKKKkksDkkswwDWwwDk",
    "khNnwkWwwwDskKKKKKKkkswwwwDWNnDk",
    "khnkwkWwwwDskKKKKKKsDWwwwwDWnkDk",
    "khWWwkWwwwkkKKKKKsswDWwwwwDWwwDk",
    "khWWwkWwkkssskKKKswwDWwwwwDWwwDk",
    "khWWwkkkswhWWsskKkswDWwwwwDWwwDk",
    "khWWwkswwhWWWDwsswksDWwwwwDWwwDk",
    "khWWwkWwhWWWDwwDWwksDWwwwwDWwwDk",
    "khWWwkWhWWWDwwwDWwwksWwwwwDWwwDk",
    "khWWwkhWWWDWwwwDWwwwkswwwwDWwwDk",
    "khWWwkWWWDDWwwwDWwwwkswwwwDWwwDk",
    "khWWwkWWDwDWwwwDWwwksWwwwwDWwwDk",
    "khWWwkDDDDDDDDDDDDDDksDDDDDWwwDk",
    "kWWWWWWWWWWWWWWWWWWWWksWWWWWWWWk",
    "kwNnwwwwwwwwwwwNnwwwwkswwwwwNnwk",
    "kwnkwwwwwwwwwwwnkwwwwwkswwwwnkwk",
    "kDDDDDDDDDDDDDDDDDDDDDksDDDDDDDk",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
};
static_assert(design_valid(box_cracked_design, 32));

// A white window frame with four panes of blue glass catching the light.
constexpr std::string_view window_clean_design[] = {
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "kEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFfffffffffffEFfffffffffffFFfk",
    "kEFFfbbbbbbHHbbEFbbbbbbHHbbEFFfk",
    "kEFFfbGGggHHggGEFbGGggHHggGEFFfk",
    "kEFFfbGggHHggGgEFbGggHHggGgEFFfk",
    "kEFFfbggHHggGggEFbggHHggGggEFFfk",
    "kEFFfbgHHggGgggEFbgHHggGgggEFFfk",
    "kEFFfbHHggGgggbEFbHHggGgggbEFFfk",
    "kEFFfHHggGgggbbEFHHggGgggbbEFFfk",
    "kEFFfHggGgggbbbEFHggGgggbbbEFFfk",
    "kEFFfbgGgggbbbbEFbgGgggbbbbEFFfk",
    "kEFFfbGgggbbbbbEFbGgggbbbbbEFFfk",
    "kEFFEEEEEEEEEEEEEEEEEEEEEEEEFFfk",
    "kEFFFFFFFFFFFFFEFFFFFFFFFFFFFFfk",
    "kEFFfbbbbbbHHbbEFbbbbbbHHbbEFFfk",
    "kEFFfbGGggHHggGEFbGGggHHggGEFFfk",
    "kEFFfbGggHHggGgEFbGggHHggGgEFFfk",
    "kEFFfbggHHggGggEFbggHHggGggEFFfk",
    "kEFFfbgHHggGgggEFbgHHggGgggEFFfk",
    "kEFFfbHHggGgggbEFbHHggGgggbEFFfk",
    "kEFFfHHggGgggbbEFHHggGgggbbEFFfk",
    "kEFFfHggGgggbbbEFHggGgggbbbEFFfk",
    "kEFFfbgGgggbbbbEFbgGgggbbbbEFFfk",
    "kEFFfbGgggbbbbbEFbGgggbbbbbEFFfk",
    "kEFFfEEEEEEEEEEEFEEEEEEEEEEEFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEfffffffffffffffffffffffffffffk",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
};
static_assert(design_valid(window_clean_design, 32));

// The same frame with the glass gone but for a few sharp shards; what lies behind shows
// through the empty panes, darkened.
constexpr std::string_view window_shattered_design[] = {
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "kEEEEEEEEEEEEEEEEEEEEEEEEEEEEEEk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFfffffffffffEFfffffffffffFFfk",
    "kEFFfbbbgxxxxgbEFbgxxgbHHbbEFFfk",
    "kEFFfbGHxxxxxGGEFgxxxxHHggGEFFfk",
    "kEFFfbGGxxxxxxGEFgxxxxxGgGGEFFfk",
    "kEFFfbGxxxxxxxxEFxxxxxxxHGxEFFfk",
    "kEFFfgxxxxxxxxxEFxxxxxxxGGxEFFfk",
    "kEFFfxxxxxxxxxxEFxxxxxxxxGxEFFfk",
    "kEFFfxxxxxxxxxxEFxxxxxxxxxxEFFfk",
    "kEFFfxxxxxxxxxgEFxxxxxxxxxxEFFfk",
    "kEFFfgxxxxxxxxgEFgxxxxxxxxxEFFfk",
    "kEFFfbHxxxxxxgbEFbHxxxxxxxxEFFfk",
    "kEFFEEEEEEEEEEEEEEEEEEEEEEEEFFfk",
    "kEFFFFFFFFFFFFFEFFFFFFFFFFFFFFfk",
    "kEFFfbggxxxxxxxEFbbbbgxxxxxEFFfk",
    "kEFFfgxxxxxxxxxEFgGHGxxxxxxEFFfk",
    "kEFFfxxxxxxxxxxEFxHxxxxxxxxEFFfk",
    "kEFFfxxxxxxxxxxEFxxxxxxxxxxEFFfk",
    "kEFFfgxxxxxxxxxEFxxxxxxxxxxEFFfk",
    "kEFFfbHxxxxxxxxEFxxxxxxxxxgEFFfk",
    "kEFFfHHGxxxxxxxEFxxxxxxxxxgEFFfk",
    "kEFFfHgGxxxxxxgEFxxxxxxxxgbEFFfk",
    "kEFFfbgGGxxxxgbEFgxxxxxxxgbEFFfk",
    "kEFFfbGggGxxgbbEFbHxxxxxgbbEFFfk",
    "kEFFfEEEEEEEEEEEFEEEEEEEEEEEFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEFFFFFFFFFFFFFFFFFFFFFFFFFFFFfk",
    "kEfffffffffffffffffffffffffffffk",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
};
static_assert(design_valid(window_shattered_design, 32));

// A red twin-bell alarm clock.
constexpr std::string_view clock_design[] = {
    "..kkk......kkk..",
    ".kYYyk.kk.kyyyk.",
    "kYyyyykNNkyyyyok",
    "kyyykkkkkkkkoook",
    ".kkkrRRRrrrrkkk.",
    "..krRcccCcccrk..",
    ".krRcccckcccrqk.",
    ".krccccckccccrk.",
    ".krCccccNkkcCrk.",
    ".krcccccccccrqk.",
    ".krrcccccccccqk.",
    "..krrcccCccCrqk.",
    "...kkrrrrqqqkk..",
    "...kokkkkkkok...",
    "...kk......kk...",
    "................",
};
static_assert(design_valid(clock_design, 16));

// The clock after a hit: a bell knocked off, its spring sprung, the face cracked.
constexpr std::string_view clock_broken_design[] = {
    "..kkk......kk...",
    ".kYYyk....kNNk..",
    "kYyyyyk....kkNk.",
    "kyyykkkkk.kNNk..",
    ".kkkrRRRrrkkkNk.",
    "..krRcccckNNk...",
    ".krRccccckckrqk.",
    ".krcccccckcccrk.",
    ".krCcccckkNcCrk.",
    ".krcccckccckrqk.",
    ".krrcckcccckcqk.",
    "..krrckcCckcrqk.",
    "...kkrrrrqqqkk..",
    "...kokkkkkkk....",
    "...kk......kk...",
    "................",
};
static_assert(design_valid(clock_broken_design, 16));
// The icon at its smallest: a crate behind a gun sight, for 16 and 48 pixels.
constexpr std::string_view icon_small_design[] = {
    ".kkkkkkkkkkkkkk.",
    "khhhhhhkkhhhhhhk",
    "khWWWWkXXkWWWhDk",
    "khWwwwkXXkwwhWDk",
    "khWwwwkXXkwhWwDk",
    "khWwwwkXXkhWwwDk",
    "kkkkkkkXXkkkkkkk",
    "kXXXXXXXXXXXXXXk",
    "kXXXXXXXXXXXXXXk",
    "kkkkkkkXXkkkkkkk",
    "khWwwhkXXkwwwwDk",
    "khWwhWkXXkwwwwDk",
    "khWhWwkXXkwwwwDk",
    "khhWwwkXXkwwwwDk",
    "kDDDDDkXXkDDDDDk",
    ".kkkkkkkkkkkkkk.",
};
static_assert(design_valid(icon_small_design, 16));
// clang-format on

} // namespace

Image sprite_cursor() {
  return image_from_design(cursor_design, 1);
}
Image sprite_box() {
  return image_from_design(box_design, prop_scale);
}
Image sprite_box_cracked() {
  return image_from_design(box_cracked_design, prop_scale);
}
Image sprite_window_clean() {
  return image_from_design(window_clean_design, prop_scale);
}
Image sprite_window_shattered() {
  return image_from_design(window_shattered_design, prop_scale);
}
Image sprite_clock() {
  return image_from_design(clock_design, prop_scale);
}
Image sprite_clock_broken() {
  return image_from_design(clock_broken_design, prop_scale);
}

Image sprite_icon(int size) {
  if (size % 32 != 0) {
    return image_from_design(icon_small_design, size / 16);
  }
  const int scale = size / 32;
  Image icon = image_from_design(box_design, scale);
  Image crosshair = image_from_design(cursor_design, scale);
  image_draw(icon, crosshair, (icon.width - crosshair.width) / 2,
             (icon.height - crosshair.height) / 2);
  return icon;
}
