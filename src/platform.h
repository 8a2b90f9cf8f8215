// platform.h -- what differs between POSIX systems, Windows and the browser: the standard
// streams at start-up, where the settings are kept, and the page around the game.
#pragma once

// Makes the standard streams safe to log to: afterwards no file the game or its libraries
// open can take the place of standard error, and writing to a stream whose reader has gone
// ends nothing but that write.
void platform_guard_standard_streams();

// ---- The settings' storage: a file, or in a browser the page's local storage ----------------

// platform_read_file's answer when there is no file at the path.
constexpr int PLATFORM_NO_FILE = -2;

// Reads the file at path (UTF-8) into buffer, at most size bytes, and returns how many it
// read; PLATFORM_NO_FILE, or -1 with SDL's error set to why it cannot be read.
int platform_read_file(const char *path, char *buffer, int size);
// Puts the file written at temporary in the place of the one at path, in one step that either
// replaces it whole or leaves it as it was; -1 with SDL's error set when it cannot.
int platform_replace_file(const char *temporary, const char *path);

// ---- The page -------------------------------------------------------------------------------

// Tells the page around the game, in a browser, how the sounds are switched; elsewhere nothing.
void platform_sound_switched(bool music, bool effects);
