// settings.h -- what a player chooses, remembered between runs: the eight keys (the six
// buttons', then the two that switch the sounds), the two sound switches and the crosshair's
// top speed. They are kept in "settings.txt" in the folder SDL_GetPrefPath gives the game (on
// Linux ~/.local/share/pordeck/, on Windows %APPDATA%\pordeck\), in a browser in the page's
// local storage. The file is plain text, one "name = value" a line, written whole by the game
// whenever a setting changes and meant to be edited by hand while the game is closed:
//
//   left = Left            the keys, by SDL's names for them
//   right = Right
//   up = Up
//   down = Down
//   smash = X
//   aim = C                the aim assist
//   music_key = M
//   effects_key = N
//   music = on             on or off
//   effects = on
//   top_speed = 24         canvas pixels a frame, 1 to 640
//
// Lines starting with # are comments; a setting left out keeps its default. A missing file
// gives the defaults; a damaged or unreadable one the defaults and one log line naming it.
#pragma once

// Which sound a switch is for.
enum SettingsSound : int {
  SETTINGS_MUSIC,
  SETTINGS_EFFECTS,
};

// Reads the settings and applies them: the key map, the sound switches, the crosshair's top
// speed. Call once the engine runs, before the scene starts the alarm.
void settings_start();
// After each frame: the music key switches the music, the effects key the effects.
void settings_frame();
// Switches a sound on or off, keeps the change and tells the page; the page's buttons call it.
extern "C" void settings_switch_sound(int sound);
