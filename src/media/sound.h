// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sounds through SDL_mixer: one mixer channel per sound number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kw {

constexpr int MaxSounds = 1024;

int InitSound();
// WAV (length from its own header) or Ogg Vorbis held in memory; statedLength is the
// size the caller states for Ogg data (0 = not stated); size is what is really there.
int LoadSoundFromMemory(int sound, const uint8_t* data, size_t size, size_t statedLength);
// The same into a free number (taken from the top, never 0) and returns it; 0 on failure.
int LoadNewSoundFromMemory(const uint8_t* data, size_t size, size_t statedLength);
// Stops the sound and releases it; its number is free again.
void FreeSound(int sound);
void PlaySoundFx(int sound, int loop);
void StopSoundFx(int sound);               // -1: all
void SetSoundVolume(int sound, int volume);  // clamped to 0..100, logarithmic
int SoundLoaded(int sound);
int SoundPlaying(int sound);
void EnableOggDecoding();
void FreeAllSounds();                     // also closes the audio device

// Memory the sounds hold, for the benchmark: decoded samples in the mixer's format and
// the compressed streams kept for playing, each block once however many numbers share it.
struct SoundMemoryUse {
  size_t decodedBytes = 0;
  size_t streamedBytes = 0;
};
SoundMemoryUse SoundMemory();

}  // namespace kw
