// Sounds through SDL_mixer: every sound number owns the mixer channel of the same
// number, so "play from the beginning", "stop" and "volume" act on one sound alone.
// Without an audio device the table still fills (loads succeed, playing is silent),
// so tests and headless runs behave like a real run. The loader thread loads sounds
// while the main thread plays others: the table is guarded by a mutex that is never
// held across a mixer call that may wait for the audio callback.
#include "media/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>

#include "media/core.h"

namespace kw {

namespace {

constexpr size_t MaxDecodedBytes = 64000000;
constexpr int FullVolume = 100;

struct SoundSlot {
  bool loaded = false;         // holds a sound (decoded or, without a mixer, checked)
  Mix_Chunk* chunk = nullptr;  // decoded samples; null without a mixer
  int volume = FullVolume;     // 0..100 as the game set it
};

std::mutex SoundTableLock;
std::array<SoundSlot, MaxSounds> Sounds;
bool MixerOpen = false;  // an audio device is playing our mix

bool ValidSound(int sound) { return sound >= 0 && sound < MaxSounds; }

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IsWave(const uint8_t* data, size_t size) {
  return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
}

bool IsOgg(const uint8_t* data, size_t size) {
  return size >= 4 && std::memcmp(data, "OggS", 4) == 0;
}

// Decibel-like curve: 0 is silent, 100 is the mixer's full volume, each 50 steps are
// about 20 dB. Every volume above 0 stays audible (at least 1), so the curve never
// turns a quiet setting into silence.
int MixerVolumeOf(int volume) {
  if (volume <= 0) return 0;
  double level = MIX_MAX_VOLUME * (std::pow(10.0, volume / 50.0) - 1.0) / 99.0;
  return std::clamp(static_cast<int>(std::lround(level)), 1, MIX_MAX_VOLUME);
}

// Decodes a checked WAVE or Ogg stream with the mixer; null on failure.
Mix_Chunk* DecodeChunk(const uint8_t* data, size_t size) {
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
  if (!rw) return nullptr;
  // We close the stream ourselves: the mixer forgets to on some failed Ogg streams.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 0);
  SDL_RWclose(rw);
  if (chunk && chunk->alen > MaxDecodedBytes) {
    // Keep whole sample frames (16-bit stereo) when cutting an overlong sound.
    chunk->alen = static_cast<Uint32>(MaxDecodedBytes - MaxDecodedBytes % 4);
  }
  return chunk;
}

// Replaces a slot's contents; returns the chunk it held so the caller frees it
// outside the lock.
Mix_Chunk* StoreSound(int sound, Mix_Chunk* chunk) {
  std::lock_guard<std::mutex> lock(SoundTableLock);
  SoundSlot& slot = Sounds[sound];
  Mix_Chunk* old = slot.chunk;
  slot.chunk = chunk;
  slot.loaded = true;
  slot.volume = FullVolume;
  return old;
}

// The chunk of a loaded sound, or null.
Mix_Chunk* ChunkOf(int sound) {
  if (!ValidSound(sound)) return nullptr;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  return Sounds[sound].chunk;
}

}  // namespace

// At start: opens the audio device; without one the game runs silently.
int InitSound() {
  if (MixerOpen) return 1;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 1;
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 1;
  }
  Mix_AllocateChannels(MaxSounds);
  MixerOpen = true;
  return 1;
}

void EnableOggDecoding() {
  if (MixerOpen) Mix_Init(MIX_INIT_OGG);
}

namespace {

// WAVE: the length comes from the RIFF header (cut to what is really there).
// Ogg Vorbis: the whole stream is decoded whatever length the caller states, since a
// stated size smaller than the stream would only cut the sound short. Without a mixer
// the stream is only checked and chunk stays null. False when it is neither or fails.
bool DecodeSound(const uint8_t* data, size_t size, Mix_Chunk*& chunk) {
  chunk = nullptr;
  if (!data) return false;
  size_t length = size;
  if (IsWave(data, size)) {
    length = std::min<size_t>(size, size_t(ReadLe32(data + 4)) + 8);
  } else if (!IsOgg(data, size)) {
    return false;
  }
  if (!MixerOpen) return true;
  chunk = DecodeChunk(data, length);
  return chunk != nullptr;
}

// Stores a decoded sound in the highest free slot (never 0); 0 when all are taken.
int StoreInFreeSlot(Mix_Chunk* chunk) {
  std::lock_guard<std::mutex> lock(SoundTableLock);
  for (int n = MaxSounds - 1; n > 0; --n) {
    if (Sounds[n].loaded) continue;
    Sounds[n] = SoundSlot{true, chunk, FullVolume};
    return n;
  }
  return 0;
}

}  // namespace

int LoadSoundFromMemory(int sound, const uint8_t* data, size_t size, size_t statedLength) {
  (void)statedLength;
  Mix_Chunk* chunk = nullptr;
  if (!ValidSound(sound) || !DecodeSound(data, size, chunk)) return 0;
  Mix_Chunk* old = StoreSound(sound, chunk);
  if (old) Mix_FreeChunk(old);
  return 1;
}

int LoadNewSoundFromMemory(const uint8_t* data, size_t size, size_t statedLength) {
  (void)statedLength;
  Mix_Chunk* chunk = nullptr;
  if (!DecodeSound(data, size, chunk)) return 0;
  int sound = StoreInFreeSlot(chunk);
  if (sound == 0 && chunk) Mix_FreeChunk(chunk);
  return sound;
}

// The channel is halted before the chunk goes, as the mixer may still be reading it.
void FreeSound(int sound) {
  if (!ValidSound(sound)) return;
  if (MixerOpen) Mix_HaltChannel(sound);
  Mix_Chunk* old;
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    old = Sounds[sound].chunk;
    Sounds[sound] = SoundSlot{};
  }
  if (old) Mix_FreeChunk(old);
}

// Starts the sound from its beginning on its own channel; loop 1 repeats it.
void PlaySoundFx(int sound, int loop) {
  Mix_Chunk* chunk = ChunkOf(sound);
  if (!chunk || !MixerOpen) return;
  int volume;
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    volume = Sounds[sound].volume;
  }
  Mix_Volume(sound, MixerVolumeOf(volume));
  Mix_PlayChannel(sound, chunk, loop == 1 ? -1 : 0);
}

void StopSoundFx(int sound) {
  if (!MixerOpen) return;
  if (sound == -1) {
    Mix_HaltChannel(-1);
  } else if (ValidSound(sound)) {
    Mix_HaltChannel(sound);
  }
}

// Sets the loudness of one sound, also while it plays.
void SetSoundVolume(int sound, int volume) {
  if (!ValidSound(sound)) return;
  volume = std::clamp(volume, 0, FullVolume);
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    if (!Sounds[sound].loaded) return;
    Sounds[sound].volume = volume;
  }
  if (MixerOpen) Mix_Volume(sound, MixerVolumeOf(volume));
}

int SoundVolume(int sound) {
  if (!ValidSound(sound)) return 0;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  return Sounds[sound].loaded ? Sounds[sound].volume : 0;
}

int SoundMixerVolume(int sound) {
  if (!ValidSound(sound)) return 0;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  return Sounds[sound].loaded ? MixerVolumeOf(Sounds[sound].volume) : 0;
}

int SoundLoaded(int sound) {
  if (!ValidSound(sound)) return 0;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  return Sounds[sound].loaded ? 1 : 0;
}

int SoundPlaying(int sound) {
  if (!MixerOpen || !ChunkOf(sound)) return 0;
  return Mix_Playing(sound) ? 1 : 0;
}

// At the end (and in tests): stops every sound, empties the table and closes the
// audio device; InitSound opens it again.
void FreeAllSounds() {
  if (MixerOpen) Mix_HaltChannel(-1);
  std::array<SoundSlot, MaxSounds> old;
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    old.swap(Sounds);
  }
  for (SoundSlot& slot : old)
    if (slot.chunk) Mix_FreeChunk(slot.chunk);
  if (MixerOpen) {
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    MixerOpen = false;
  }
}

}  // namespace kw
