// sounds.h -- the sound effects the kinds play, by id.
#pragma once

// Sound ids: the order in which sounds_load loads the effects, which is the order the engine
// hands the ids out in.
enum KindSound : int {
  SOUND_SHOT,      // the cursor's click
  SOUND_GLASS,     // a window shattering
  SOUND_BOX_CRACK, // the first hit on a box
  SOUND_BOX_BREAK, // the second hit, which breaks it
  SOUND_CLOCK,     // the alarm clock hit
  SOUND_COUNT,
};

// Loads the effects into an engine that has loaded no sound yet, so that each gets the id
// above. Stops at the first failure (the engine has logged it), points *failed (when not null)
// at that effect's path and returns -1.
int sounds_load(const char **failed = nullptr);
