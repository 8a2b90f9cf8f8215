// synth.h -- mono sample buffers, a seeded noise source, the few building blocks the game's
// sounds are made of, and their encoding as 16-bit PCM WAV.
//
// A Signal holds samples at synth_rate, nominally within -1 .. 1. Times are in seconds and
// frequencies in hertz. Everything is computed, nothing random: the same calls give the
// same samples on every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int synth_rate = 44100;
constexpr double synth_pi = 3.14159265358979323846;

using Signal = std::vector<double>;

// A small xorshift generator; the seed fixes the whole sequence.
struct Noise {
  uint32_t state;
};
// The next value, evenly spread over [low, high).
double noise_range(Noise &noise, double low, double high);

// Whole samples in `seconds`.
size_t synth_samples(double seconds);
// Silence of the given length.
Signal signal_silence(double seconds);

// Adds a struck partial from `start` on: a sine from phase 0 whose amplitude rises over about
// a millisecond to `amp` and then decays as exp(-t / decay).
void signal_add_ring(Signal &signal, double start, double freq, double amp, double decay);
// Adds a burst of noise from `start` on, limited to the band low_cut .. high_cut, whose
// amplitude decays as amp * exp(-t / decay).
void signal_add_burst(Signal &signal, Noise &noise, double start, double amp, double decay,
                      double low_cut, double high_cut);

// One-pole filters that remove what lies below or above the cutoff.
void signal_highpass(Signal &signal, double cutoff);
void signal_lowpass(Signal &signal, double cutoff);
// Soft saturation: louder quiet parts, rounded peaks; `drive` above 0, larger is stronger.
void signal_saturate(Signal &signal, double drive);
// Raised-cosine fade-in and fade-out, so the first and last samples are silent.
void signal_fade(Signal &signal, double fade_in, double fade_out);
// Scales the signal so that its largest magnitude is `peak` (a fraction of full scale).
void signal_normalize(Signal &signal, double peak);
// What every effect ends with: no DC offset, clickless ends and a peak of 0.8 of full scale.
void signal_finish_effect(Signal &signal, double fade_out);

// A mono 16-bit PCM WAV file at synth_rate.
std::vector<uint8_t> signal_encode_wav(const Signal &signal);
