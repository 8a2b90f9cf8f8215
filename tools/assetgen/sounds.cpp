// sounds.cpp -- recipes of the game's sounds.
//
// The effects are played quietly (the game gives them a tenth of the mixer's volume or so),
// so each is made dense and loud, saturated and brought to 0.8 of full scale. The alarm is
// played as music at the mixer's full volume for as long as it rings, so it is kept well
// below the effects instead, to sit behind them.
#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace {

struct Partial {
  double freq;
  double amp;
  double decay;
};

// A tone whose pitch falls exponentially from `from` to `to` over `glide` seconds and then
// holds, with a few harmonics that fade out before they would pass the audible band.
void add_sweep(Signal &signal, double from, double to, double glide, double decay) {
  constexpr double harmonic_amps[] = {1.0, 0.45, 0.3, 0.18, 0.12};
  constexpr double top = 15000.0;
  double phase = 0.0;
  for (size_t i = 0; i < signal.size(); ++i) {
    double t = static_cast<double>(i) / synth_rate;
    double freq = from * std::pow(to / from, std::min(t / glide, 1.0));
    phase += 2.0 * synth_pi * freq / synth_rate;
    double sum = 0.0;
    for (int k = 1; k <= 5; ++k) {
      double room = std::clamp((top - k * freq) / 2000.0, 0.0, 1.0);
      sum += harmonic_amps[k - 1] * room * std::sin(k * phase);
    }
    signal[i] += sum * std::exp(-t / decay);
  }
}

// A thud: a low sine dropping in pitch, as a struck body settles, from `start` on.
void add_thud(Signal &signal, double start, double from, double to, double amp, double decay) {
  size_t first = synth_samples(start);
  double phase = 0.0;
  for (size_t i = first; i < signal.size(); ++i) {
    double t = static_cast<double>(i - first) / synth_rate;
    double freq = to + (from - to) * std::exp(-t / 0.025);
    phase += 2.0 * synth_pi * freq / synth_rate;
    double envelope = (1.0 - std::exp(-t / 0.0008)) * std::exp(-t / decay);
    signal[i] += amp * envelope * std::sin(phase);
  }
}

void add_partials(Signal &signal, double start, std::span<const Partial> partials) {
  for (const Partial &p : partials) {
    signal_add_ring(signal, start, p.freq, p.amp, p.decay);
  }
}

// Pieces falling after a break: `count` short bursts, denser early and fading with time,
// each ringing briefly at a pitch within low .. high.
void add_debris(Signal &signal, Noise &noise, int count, double until, double amp, double low,
                double high, double band_low) {
  double length = static_cast<double>(signal.size()) / synth_rate;
  for (int i = 0; i < count; ++i) {
    double t = 0.015 + until * std::pow(noise_range(noise, 0.0, 1.0), 1.4);
    double level = amp * (1.0 - t / length) * noise_range(noise, 0.4, 1.0);
    signal_add_burst(signal, noise, t, level, noise_range(noise, 0.001, 0.004), band_low, 14000.0);
    signal_add_ring(signal, t, noise_range(noise, low, high), level * 0.6,
                    noise_range(noise, 0.015, 0.05));
  }
}

// The alarm's loop: two rings of 0.75 s, each twelve strikes of a 20 Hz hammer followed by
// three beats in which the bells ring out; 1.5 s in all.
constexpr int alarm_strike_period = synth_rate / 20; // samples between hammer strikes
static_assert(alarm_strike_period * 20 == synth_rate);
constexpr int alarm_ring_strikes = 15;     // strike slots in one ring
constexpr int alarm_sounding_strikes = 12; // of which the hammer hits this many
constexpr int alarm_rings = 2;
constexpr int alarm_samples = alarm_rings * alarm_ring_strikes * alarm_strike_period;
constexpr double alarm_length = static_cast<double>(alarm_samples) / synth_rate;
constexpr double alarm_peak = 0.06;    // about -24 dBFS
constexpr double strike_attack = 4e-4; // time constant of a bell's rise under the hammer

struct Strike {
  size_t at; // sample
  double amp;
};

// The frequency nearest `freq` that completes a whole number of periods over the loop.
double loop_frequency(double freq) {
  return std::round(freq * alarm_length) / alarm_length;
}

// Adds one bell partial, struck at every strike sample in `strikes` with its amplitude, its
// ringing wrapped around the end of the loop.
void add_looped_partial(Signal &signal, const std::vector<Strike> &strikes, const Partial &p) {
  size_t n = signal.size();
  Signal envelope(n, 0.0);
  for (const Strike &strike : strikes) {
    for (size_t k = 0; k < n; ++k) {
      double t = static_cast<double>(k) / synth_rate;
      envelope[(strike.at + k) % n] +=
          strike.amp * (1.0 - std::exp(-t / strike_attack)) * std::exp(-t / p.decay);
    }
  }
  double freq = loop_frequency(p.freq);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / synth_rate;
    signal[i] += p.amp * envelope[i] * std::sin(2.0 * synth_pi * freq * t);
  }
}

// Adds the hammer's short metallic tick at every strike, wrapped around the loop's end.
void add_looped_ticks(Signal &signal, Noise &noise, const std::vector<Strike> &strikes) {
  for (const Strike &strike : strikes) {
    Signal tick = signal_silence(0.02);
    signal_add_burst(tick, noise, 0.0, 0.12 * strike.amp, 0.0015, 3000.0, 12000.0);
    for (size_t k = 0; k < tick.size(); ++k) {
      signal[(strike.at + k) % signal.size()] += tick[k];
    }
  }
}

} // namespace

Signal sound_piou() {
  Signal s = signal_silence(0.2);
  add_sweep(s, 1900.0, 190.0, 0.17, 0.09);
  signal_saturate(s, 1.6);
  signal_finish_effect(s, 0.02);
  return s;
}

Signal sound_glass() {
  constexpr Partial rings[] = {{2750.0, 0.35, 0.09},
                               {3910.0, 0.3, 0.07},
                               {5230.0, 0.25, 0.06},
                               {6480.0, 0.2, 0.05},
                               {7820.0, 0.15, 0.04}};
  Noise noise{0x6c617373};
  Signal s = signal_silence(0.45);
  signal_add_burst(s, noise, 0.0, 1.0, 0.02, 1500.0, 12000.0);
  add_partials(s, 0.0, rings);
  add_debris(s, noise, 22, 0.32, 0.55, 3200.0, 9500.0, 3000.0);
  signal_lowpass(s, 9000.0); // bright, but not the hiss near the top of the band
  signal_saturate(s, 1.5);
  signal_finish_effect(s, 0.03);
  return s;
}

Signal sound_box_knock() {
  constexpr Partial wood[] = {
      {420.0, 0.45, 0.035}, {680.0, 0.3, 0.025}, {1020.0, 0.22, 0.018}, {1560.0, 0.12, 0.012}};
  Noise noise{0x6b6e6f63};
  Signal s = signal_silence(0.2);
  add_thud(s, 0.0, 230.0, 130.0, 1.0, 0.05);
  add_partials(s, 0.0, wood);
  signal_add_burst(s, noise, 0.0, 0.7, 0.005, 200.0, 3000.0);
  signal_saturate(s, 2.0);
  signal_finish_effect(s, 0.02);
  return s;
}

Signal sound_box_break() {
  constexpr Partial wood[] = {
      {300.0, 0.5, 0.06}, {470.0, 0.35, 0.05}, {760.0, 0.25, 0.035}, {1150.0, 0.15, 0.02}};
  Noise noise{0x62726b21};
  Signal s = signal_silence(0.42);
  add_thud(s, 0.0, 170.0, 85.0, 1.0, 0.1);
  add_partials(s, 0.0, wood);
  signal_add_burst(s, noise, 0.0, 0.9, 0.008, 150.0, 2500.0);
  add_thud(s, 0.11, 140.0, 95.0, 0.45, 0.05);
  add_debris(s, noise, 28, 0.3, 0.45, 900.0, 2500.0, 800.0);
  signal_saturate(s, 2.2);
  signal_finish_effect(s, 0.03);
  return s;
}

Signal sound_blan() {
  constexpr Partial clang[] = {{620.0, 0.5, 0.18},
                               {980.0, 0.4, 0.12},
                               {1432.0, 0.3, 0.09},
                               {1848.0, 0.22, 0.07},
                               {2399.0, 0.15, 0.05}};
  constexpr double boing_amps[] = {1.0, 0.5, 0.3, 0.15};
  Noise noise{0x626c616e};
  Signal s = signal_silence(0.48);
  double phase = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = static_cast<double>(i) / synth_rate;
    double wobble = 1.0 + 0.06 * std::exp(-t / 0.25) * std::sin(2.0 * synth_pi * 9.0 * t);
    double droop = 1.0 - 0.15 * (1.0 - std::exp(-t / 0.2));
    phase += 2.0 * synth_pi * 392.0 * wobble * droop / synth_rate;
    double tone = 0.0;
    for (int k = 1; k <= 4; ++k) {
      tone += boing_amps[k - 1] * std::sin(k * phase);
    }
    s[i] += 0.6 * tone * std::exp(-t / 0.2);
  }
  add_partials(s, 0.0, clang);
  signal_add_burst(s, noise, 0.0, 0.6, 0.004, 1000.0, 8000.0);
  signal_saturate(s, 1.6);
  signal_finish_effect(s, 0.04);
  return s;
}

Signal sound_alarm() {
  // Two small bells a whole tone apart, struck in turn; their upper partials die faster.
  constexpr Partial bell_a[] = {{1046.0, 1.0, 0.11}, {2521.0, 0.4, 0.06}, {4163.0, 0.18, 0.035}};
  constexpr Partial bell_b[] = {{1175.0, 1.0, 0.11}, {2832.0, 0.4, 0.06}, {4677.0, 0.18, 0.035}};
  Noise noise{0x616c726d};
  Signal s(alarm_samples, 0.0);
  std::vector<Strike> strikes_a;
  std::vector<Strike> strikes_b;
  for (size_t slot = 0; slot < alarm_rings * alarm_ring_strikes; ++slot) {
    if (slot % alarm_ring_strikes >= alarm_sounding_strikes) {
      continue;
    }
    Strike strike{slot * alarm_strike_period, noise_range(noise, 0.8, 1.0)};
    (slot % 2 == 0 ? strikes_a : strikes_b).push_back(strike);
  }
  for (const Partial &p : bell_a) {
    add_looped_partial(s, strikes_a, p);
  }
  for (const Partial &p : bell_b) {
    add_looped_partial(s, strikes_b, p);
  }
  add_looped_ticks(s, noise, strikes_a);
  add_looped_ticks(s, noise, strikes_b);
  signal_normalize(s, alarm_peak);
  return s;
}
