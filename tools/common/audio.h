// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sound writers and a few synthesis helpers for the game-data generator: 16-bit mono WAV,
// Ogg Vorbis through libvorbisenc, oscillators, envelopes, a plucked string, filters.
// Used by kwgen (effects and music) and by the tests that check the sounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kwgen {

constexpr int EffectRate = 22050;  // effects: 16-bit mono WAV at this rate
constexpr int MusicRate = 22050;   // music tracks: Ogg Vorbis mono at this rate

using Samples = std::vector<float>;  // -1..1

// A RIFF WAVE file, 16-bit PCM mono.
std::vector<uint8_t> EncodeWav(const Samples& samples, int rate);
// A RIFF WAVE file of 16-bit samples as they are, channels interleaved frame by frame.
std::vector<uint8_t> EncodeWav16(const std::vector<int16_t>& samples, int rate, int channels = 1);
// An Ogg Vorbis stream (mono, VBR quality 0..1); empty on failure.
std::vector<uint8_t> EncodeOgg(const Samples& samples, int rate, float quality);

// Scales so that the loudest sample reaches peak.
void Normalise(Samples& s, float peak);
// Subtracts the mean (a constant offset keeps a loop seamless, unlike a filter).
void RemoveDc(Samples& s);
// Scales to the given RMS level, then bends the few peaks above knee softly so that no
// sample exceeds peak (tracks of equal RMS sound about equally loud).
void NormaliseRms(Samples& s, float rms, float knee, float peak);
// A one-pole low-pass run round a loop: the filter starts from the state the loop's end
// leaves, so the seam stays as smooth as the rest.
void LowPassLoop(Samples& s, float cutoffHz, int rate);
// Short fades at both ends (against clicks), in samples.
void FadeEnds(Samples& s, int in, int out);
// Cross-fades the tail into the head so that the sound loops without a seam; the result
// is shorter by overlap samples.
void MakeLoop(Samples& s, int overlap);

// Deterministic white noise in -1..1.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed | 1u) {}
  float Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(state >> 8) / 8388608.0f - 1.0f;
  }
};

// One-pole filters, run in place.
void LowPass(Samples& s, float cutoffHz, int rate);
void HighPass(Samples& s, float cutoffHz, int rate);

// Adds src into dst starting at sample offset, times gain (dst grows when needed).
void MixInto(Samples& dst, const Samples& src, size_t offset, float gain);

// Voices, each returning a finished note of the given length in seconds.
Samples PluckNote(float freq, float seconds, int rate, float brightness, uint32_t seed);
Samples BowedNote(float freq, float seconds, int rate, float vibrato);
Samples FluteNote(float freq, float seconds, int rate, uint32_t seed);
Samples DrumHit(float freq, float seconds, int rate, float noiseAmount, uint32_t seed);
Samples Drone(float freq, float seconds, int rate);

// Frequency of a MIDI note number.
float NoteFreq(int midi);

}  // namespace kwgen
