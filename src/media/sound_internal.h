// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the sound layer: the decode limit and the getters its tests look through.
// Not for game code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kw {

// No sound decodes to more than this many bytes of samples (in its own format).
constexpr size_t MaxDecodedSoundBytes = 64000000;

// Decodes a WAVE or Ogg Vorbis sound held in memory, stopping after limit bytes of
// samples; the number of sample bytes decoded, 0 when it is no sound.
size_t DecodedSoundLength(const uint8_t* data, size_t size, size_t limit);
// The clamped 0..100 volume of a sound.
int SoundVolume(int sound);
// Its volume 0..128 as handed to the mixer.
int SoundMixerVolume(int sound);
// Bytes of samples the mixer holds for a loaded sound (0 when none).
size_t SoundMixerBytes(int sound);
// Those samples (16-bit, interleaved as the mixer plays them); for a streamed sound, one
// pass of its stream as its channel would get it.
std::vector<int16_t> SoundMixerSamples(int sound);
// A sound decoded whole and converted for the mixer, as a load that keeps no stream
// does (empty without a mixer or when it is no sound).
std::vector<int16_t> WholeMixerSamples(const uint8_t* data, size_t size);
// 1 when the sound is kept compressed and decoded while it plays.
int SoundStreamed(int sound);
// The first `bytes` bytes a streamed sound played looped hands its channel, asked for
// in pieces of `piece` bytes; empty when it is not streamed.
std::vector<int16_t> StreamedSoundSamples(int sound, size_t bytes, size_t piece);
// 1 when two numbers hold the very same samples or stream.
int SoundsShareSamples(int a, int b);

}  // namespace kw
