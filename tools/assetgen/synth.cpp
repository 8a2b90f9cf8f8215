// synth.cpp -- sample-level building blocks of the game's sounds, and the WAV encoder.
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double ring_attack = 0.0004; // time constant of a struck partial's rise
constexpr double effect_peak = 0.8;    // peak of every effect, as a fraction of full scale
constexpr double dc_cutoff = 25.0;     // below the lowest note of any effect
constexpr double effect_fade_in = 0.001;
constexpr double envelope_floor = 1e-5; // a decaying part ends when it falls below this

uint32_t noise_next(Noise &noise) {
  uint32_t x = noise.state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  noise.state = x;
  return x;
}

// Length of a decaying part, from its start to where exp(-t / decay) reaches the floor.
size_t decay_samples(double decay) {
  return synth_samples(decay * -std::log(envelope_floor));
}

// Little-endian integers and four-letter tags, as a WAV file stores them.
void put_u16(std::vector<uint8_t> &out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xff));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xff));
}

void put_u32(std::vector<uint8_t> &out, uint32_t value) {
  put_u16(out, value & 0xffff);
  put_u16(out, value >> 16);
}

void put_tag(std::vector<uint8_t> &out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<uint8_t>(tag[i]));
  }
}

// The largest magnitude of any sample.
double signal_peak(const Signal &signal) {
  double peak = 0.0;
  for (double sample : signal) {
    peak = std::max(peak, std::abs(sample));
  }
  return peak;
}

} // namespace

double noise_range(Noise &noise, double low, double high) {
  return low + (high - low) * (noise_next(noise) / 4294967296.0);
}

size_t synth_samples(double seconds) {
  return static_cast<size_t>(std::lround(seconds * synth_rate));
}

Signal signal_silence(double seconds) {
  return Signal(synth_samples(seconds), 0.0);
}

void signal_add_ring(Signal &signal, double start, double freq, double amp, double decay) {
  size_t first = synth_samples(start);
  size_t end = std::min(signal.size(), first + decay_samples(decay));
  for (size_t i = first; i < end; ++i) {
    double t = static_cast<double>(i - first) / synth_rate;
    double envelope = (1.0 - std::exp(-t / ring_attack)) * std::exp(-t / decay);
    signal[i] += amp * envelope * std::sin(2.0 * synth_pi * freq * t);
  }
}

void signal_add_burst(Signal &signal, Noise &noise, double start, double amp, double decay,
                      double low_cut, double high_cut) {
  size_t first = std::min(signal.size(), synth_samples(start));
  Signal burst(std::min(signal.size() - first, decay_samples(decay)), 0.0);
  for (size_t i = 0; i < burst.size(); ++i) {
    double t = static_cast<double>(i) / synth_rate;
    burst[i] = amp * std::exp(-t / decay) * noise_range(noise, -1.0, 1.0);
  }
  signal_highpass(burst, low_cut);
  signal_lowpass(burst, high_cut);
  for (size_t i = 0; i < burst.size(); ++i) {
    signal[first + i] += burst[i];
  }
}

void signal_highpass(Signal &signal, double cutoff) {
  double k = std::exp(-2.0 * synth_pi * cutoff / synth_rate);
  double previous_in = 0.0;
  double out = 0.0;
  for (double &sample : signal) {
    out = k * (out + sample - previous_in);
    previous_in = sample;
    sample = out;
  }
}

void signal_lowpass(Signal &signal, double cutoff) {
  double k = std::exp(-2.0 * synth_pi * cutoff / synth_rate);
  double out = 0.0;
  for (double &sample : signal) {
    out = sample + k * (out - sample);
    sample = out;
  }
}

void signal_saturate(Signal &signal, double drive) {
  const double peak = signal_peak(signal);
  if (peak == 0.0) {
    return;
  }
  for (double &sample : signal) {
    sample = std::tanh(drive * sample / peak);
  }
}

void signal_fade(Signal &signal, double fade_in, double fade_out) {
  size_t in = std::min(signal.size(), synth_samples(fade_in));
  size_t out = std::min(signal.size(), synth_samples(fade_out));
  for (size_t i = 0; i < in; ++i) {
    signal[i] *= 0.5 - 0.5 * std::cos(synth_pi * static_cast<double>(i) / in);
  }
  for (size_t i = 0; i < out; ++i) {
    signal[signal.size() - 1 - i] *= 0.5 - 0.5 * std::cos(synth_pi * static_cast<double>(i) / out);
  }
}

void signal_normalize(Signal &signal, double peak) {
  const double largest = signal_peak(signal);
  if (largest == 0.0) {
    return;
  }
  for (double &sample : signal) {
    sample *= peak / largest;
  }
}

void signal_finish_effect(Signal &signal, double fade_out) {
  signal_highpass(signal, dc_cutoff);
  signal_fade(signal, effect_fade_in, fade_out);
  signal_normalize(signal, effect_peak);
}

std::vector<uint8_t> signal_encode_wav(const Signal &signal) {
  constexpr uint32_t bytes_per_sample = 2;
  uint32_t data_size = static_cast<uint32_t>(signal.size()) * bytes_per_sample;
  std::vector<uint8_t> out;
  out.reserve(44 + data_size);
  put_tag(out, "RIFF");
  put_u32(out, 36 + data_size);
  put_tag(out, "WAVE");
  put_tag(out, "fmt ");
  put_u32(out, 16);
  put_u16(out, 1); // PCM
  put_u16(out, 1); // mono
  put_u32(out, synth_rate);
  put_u32(out, synth_rate * bytes_per_sample);
  put_u16(out, bytes_per_sample);
  put_u16(out, 16);
  put_tag(out, "data");
  put_u32(out, data_size);
  for (double sample : signal) {
    long value = std::clamp(std::lround(sample * 32767.0), -32767L, 32767L);
    put_u16(out, static_cast<uint32_t>(value) & 0xffff);
  }
  return out;
}
