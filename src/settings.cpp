// settings.cpp -- the player's settings: read at start-up, applied to the engine and the
// crosshair, switched by the sound keys, and written whole whenever one changes.
#include "settings.h"

#include "cursor.h"
#include "game.h"
#include "platform.h"
#include "vel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr char FILE_NAME[] = "settings.txt";
constexpr int FILE_MAX = 4096; // bytes; a settings file is a few hundred

constexpr unsigned BUTTON_KEYS = std::size(VEL_DEFAULT_KEYS); // as VEL_Button numbers them
constexpr int KEYS = BUTTON_KEYS + 2;                         // then the music's and the effects'
constexpr int MUSIC_KEY = BUTTON_KEYS, EFFECTS_KEY = BUTTON_KEYS + 1;
constexpr const char *KEY_NAMES[KEYS] = {"left",  "right", "up",        "down",
                                         "smash", "aim",   "music_key", "effects_key"};
constexpr const char *SOUND_NAMES[] = {"music", "effects"}; // by SettingsSound

struct Settings {
  SDL_Scancode keys[KEYS];
  bool sounds[2]; // by SettingsSound
  int32_t top_speed;
};

constexpr Settings defaults() {
  Settings s{{}, {true, true}, CURSOR_TOP_SPEED};
  for (unsigned i = 0; i < BUTTON_KEYS; ++i) {
    s.keys[i] = VEL_DEFAULT_KEYS[i];
  }
  s.keys[MUSIC_KEY] = SDL_SCANCODE_M;
  s.keys[EFFECTS_KEY] = SDL_SCANCODE_N;
  return s;
}

constexpr char HEADER[] =
    "# pordeck's settings. The game writes this file whenever a setting changes: edit it\n"
    "# while the game is closed. Keys go by SDL's names for them (Left, Space, Return, A,\n"
    "# Keypad 8, F2, ...); music and effects are on or off; top_speed is the crosshair's\n"
    "# under keys and pads, in pixels a frame (1 to 640). A line the game cannot read makes\n"
    "# it start with the default settings, and say so.\n";

Settings settings = defaults();
char path[1024]; // of the file; empty when the settings are not kept

char *trim(char *s) {
  s += std::strspn(s, " \t");
  for (char *end = s + std::strlen(s); end > s && std::strchr(" \t\r", end[-1]); *--end = '\0') {
  }
  return s;
}

// Reads one "name = value" line into s; false when it is none of the settings.
bool read_line(char *line, Settings &s) {
  char *equals = std::strchr(line, '=');
  if (!equals) {
    return false;
  }
  *equals = '\0';
  const char *name = trim(line), *value = trim(equals + 1);
  for (int i = 0; i < KEYS; ++i) {
    if (std::strcmp(name, KEY_NAMES[i]) == 0) {
      s.keys[i] = SDL_GetScancodeFromName(value);
      return s.keys[i] != SDL_SCANCODE_UNKNOWN;
    }
  }
  for (int i = 0; i < 2; ++i) {
    if (std::strcmp(name, SOUND_NAMES[i]) == 0) {
      s.sounds[i] = std::strcmp(value, "on") == 0;
      return s.sounds[i] || std::strcmp(value, "off") == 0;
    }
  }
  if (std::strcmp(name, "top_speed") != 0) {
    return false;
  }
  char *end = nullptr;
  const long speed = std::strtol(value, &end, 10);
  s.top_speed = static_cast<int32_t>(speed);
  return *value && !*end && speed >= 1 && speed <= GAME_WIDTH;
}

// The settings in text, or the number of the first line that is none of them (1 and up).
int read_text(char *text, int length, Settings &s) {
  constexpr char BOM[] = "\xEF\xBB\xBF"; // which some editors put first in a UTF-8 file
  const int skip = length >= 3 && std::memcmp(text, BOM, 3) == 0 ? 3 : 0;
  int number = 1;
  for (char *line = text + skip; line < text + length; ++number) {
    char *end = static_cast<char *>(std::memchr(line, '\n', text + length - line));
    end = end ? end : text + length;
    const bool whole = !std::memchr(line, '\0', end - line); // no NUL byte within
    *end = '\0';
    char *content = trim(line);
    if (!whole || (*content && *content != '#' && !read_line(content, s))) {
      return number;
    }
    line = end + 1;
  }
  return 0;
}

void load() {
  char text[FILE_MAX + 1];
  int length = platform_read_file(path, text, sizeof text);
  if (length == PLATFORM_NO_FILE) {
    return;
  }
  if (length > FILE_MAX) {
    length = SDL_SetError("larger than %d bytes", FILE_MAX);
  }
  if (length < 0) {
    SDL_Log("%s cannot be read (%s): playing with the default settings", path, SDL_GetError());
    return;
  }
  Settings read = defaults();
  if (const int line = read_text(text, length, read)) {
    SDL_Log("%s: line %d is not a setting: playing with the default settings", path, line);
    return;
  }
  settings = read;
}

int write_text(char *text, int size) {
  int n = std::snprintf(text, size, "%s", HEADER);
  for (int i = 0; i < KEYS; ++i) {
    n += std::snprintf(text + n, size - n, "%s = %s\n", KEY_NAMES[i],
                       SDL_GetScancodeName(settings.keys[i]));
  }
  for (int i = 0; i < 2; ++i) {
    n += std::snprintf(text + n, size - n, "%s = %s\n", SOUND_NAMES[i],
                       settings.sounds[i] ? "on" : "off");
  }
  return n + std::snprintf(text + n, size - n, "top_speed = %d\n", settings.top_speed);
}

// Written whole to a file beside it, which then takes its place: a file half written is never
// read.
void save() {
  char text[FILE_MAX];
  const int length = write_text(text, sizeof text);
  char temporary[sizeof path + 4];
  std::snprintf(temporary, sizeof temporary, "%s.new", path);
  SDL_RWops *file = *path ? SDL_RWFromFile(temporary, "wb") : nullptr;
  bool written = file && SDL_RWwrite(file, text, 1, length) == static_cast<size_t>(length);
  written = file && SDL_RWclose(file) == 0 && written;
  if (*path && (!written || platform_replace_file(temporary, path) < 0)) {
    SDL_Log("%s cannot be written (%s): the settings are not kept", path, SDL_GetError());
  }
}

void apply_sounds() {
  VEL_SetMusicOn(settings.sounds[SETTINGS_MUSIC]);
  VEL_SetEffectsOn(settings.sounds[SETTINGS_EFFECTS]);
  platform_sound_switched(settings.sounds[SETTINGS_MUSIC], settings.sounds[SETTINGS_EFFECTS]);
}

} // namespace

void settings_start() {
  settings = defaults();
  path[0] = '\0';
  char *folder = SDL_GetPrefPath("", "pordeck");
  if (folder && std::snprintf(path, sizeof path, "%s%s", folder, FILE_NAME) < int{sizeof path}) {
    load();
  } else {
    path[0] = '\0';
    SDL_Log("No folder for the settings (%s): they are not kept", SDL_GetError());
  }
  SDL_free(folder);
  // The engine starts with the default keys: only the others are bound, each logged.
  for (unsigned i = 0; i < BUTTON_KEYS; ++i) {
    if (settings.keys[i] != VEL_DEFAULT_KEYS[i]) {
      VEL_ButtonBind(i, settings.keys[i]);
    }
  }
  cursor_set_top_speed(settings.top_speed);
  apply_sounds();
}

void settings_frame() {
  if (VEL_KeyPressed(settings.keys[MUSIC_KEY])) {
    settings_switch_sound(SETTINGS_MUSIC);
  }
  if (VEL_KeyPressed(settings.keys[EFFECTS_KEY])) {
    settings_switch_sound(SETTINGS_EFFECTS);
  }
}

void settings_switch_sound(int sound) {
  if (sound != SETTINGS_MUSIC && sound != SETTINGS_EFFECTS) {
    return;
  }
  settings.sounds[sound] = !settings.sounds[sound];
  apply_sounds();
  save();
}
