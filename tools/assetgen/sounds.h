// sounds.h -- the game's sounds, synthesised: five short effects and the looping alarm.
#pragma once

#include "synth.h"

// The shot: a laser "piou", a fast downward sweep (0.2 s).
Signal sound_piou();
// A pane breaking: a crash of noise, ringing glass and falling shards (0.45 s).
Signal sound_glass();
// The first hit on a crate: a short wooden knock (0.2 s).
Signal sound_box_knock();
// The hit that breaks a crate: heavier, lower and longer, with splintering (0.42 s).
Signal sound_box_break();
// The hit on the alarm clock: a cartoon clang with a wobbling boing (0.48 s).
Signal sound_blan();
// The alarm bell, 1.5 s that loop without a seam: two rings of a hammer beating two bells.
// Every partial completes whole periods over the loop and every strike's ringing wraps
// around its end, so the last sample leads into the first like any other pair.
Signal sound_alarm();
