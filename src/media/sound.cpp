// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sounds through SDL_mixer: every sound number owns the mixer channel of the same
// number, so "play from the beginning", "stop" and "volume" act on one sound alone.
// Without an audio device the table still fills (loads succeed, playing is silent),
// so tests and headless runs behave like a real run. The loader thread loads sounds
// while the main thread plays others: the table is guarded by a mutex that is never
// held across a mixer call that may wait for the audio callback.
#include "media/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "media/core.h"
#include "media/sound_internal.h"

namespace kw {

namespace {

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

// Samples as their decoder gives them, before the mixer converts them.
struct DecodedPcm {
  SDL_AudioFormat format = AUDIO_S16LSB;
  int channels = 0;
  int rate = 0;
  std::vector<uint8_t> bytes;
};

// A WAVE file through SDL's loader: its samples, at most limit bytes of them.
bool DecodeWave(const uint8_t* data, size_t size, size_t limit, DecodedPcm& out) {
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
  if (!rw) return false;
  SDL_AudioSpec wave;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV_RW(rw, 1, &wave, &samples, &length)) return false;
  size_t frame = size_t(SDL_AUDIO_BITSIZE(wave.format) / 8) * std::max<size_t>(wave.channels, 1);
  size_t kept = std::min<size_t>(length, limit - limit % frame);
  out.format = wave.format;
  out.channels = wave.channels;
  out.rate = wave.freq;
  out.bytes.assign(samples, samples + kept);
  SDL_FreeWAV(samples);
  return true;
}

// Reading an Ogg stream that lies in memory.
struct MemoryStream {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;
};

size_t ReadMemory(void* ptr, size_t size, size_t count, void* source) {
  auto* in = static_cast<MemoryStream*>(source);
  size_t n = size == 0 ? 0 : std::min(count, (in->size - in->pos) / size);
  std::memcpy(ptr, in->data + in->pos, n * size);
  in->pos += n * size;
  return n;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* in = static_cast<MemoryStream*>(source);
  ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(in->pos)
                                                                  : ogg_int64_t(in->size);
  if (offset < -base || base + offset > ogg_int64_t(in->size)) return -1;
  in->pos = size_t(base + offset);
  return 0;
}

long TellMemory(void* source) { return long(static_cast<MemoryStream*>(source)->pos); }

// An Ogg Vorbis stream decoded piece by piece as 16-bit samples, stopping at limit
// bytes: a small stream that decodes for hours never takes more than that.
bool DecodeOgg(const uint8_t* data, size_t size, size_t limit, DecodedPcm& out) {
  MemoryStream in{data, size};
  OggVorbis_File file;
  ov_callbacks callbacks = {ReadMemory, SeekMemory, nullptr, TellMemory};
  if (ov_open_callbacks(&in, &file, nullptr, 0, callbacks) != 0) return false;
  vorbis_info* info = ov_info(&file, -1);
  bool ok = info && info->channels > 0 && info->rate > 0;
  if (ok) {
    out.format = AUDIO_S16LSB;
    out.channels = info->channels;
    out.rate = int(info->rate);
    size_t frame = size_t(info->channels) * 2;
    limit -= limit % frame;
    char piece[8192];
    int section = 0;
    while (out.bytes.size() < limit) {
      int want = int(std::min<size_t>(sizeof piece, limit - out.bytes.size()));
      long got = ov_read(&file, piece, want, 0, 2, 1, &section);
      if (got == OV_HOLE) continue;
      if (got <= 0) break;
      // A chained stream that changes its format mid-way ends the sound there.
      vorbis_info* now = ov_info(&file, section);
      if (!now || now->channels != out.channels || now->rate != out.rate) break;
      out.bytes.insert(out.bytes.end(), piece, piece + got);
    }
    ok = !out.bytes.empty();
  }
  ov_clear(&file);
  return ok;
}

// The bytes of data that make up the sound: a WAVE file ends where its RIFF header says
// (cut to what is really there); 0 when it is neither WAVE nor Ogg.
size_t SoundBytesOf(const uint8_t* data, size_t size) {
  if (IsWave(data, size)) return std::min<size_t>(size, size_t(ReadLe32(data + 4)) + 8);
  return IsOgg(data, size) ? size : 0;
}

// A checked WAVE or Ogg sound decoded into pcm, at most limit bytes of samples.
bool DecodeSoundData(const uint8_t* data, size_t size, size_t limit, DecodedPcm& pcm) {
  return IsWave(data, size) ? DecodeWave(data, size, limit, pcm) : DecodeOgg(data, size, limit, pcm);
}

// Linear interpolation of 16-bit frames (in channels) to `step` frames each (out
// channels); Step is that multiple when known while compiling, so the divisions become
// shifts for the common ones, or 0.
template <int Step>
void Interpolate(const std::vector<uint8_t>& bytes, int in, int out, int step, int16_t* to) {
  const int k = Step ? Step : step;
  const size_t frames = bytes.size() / (size_t(in) * 2);
  auto sample = [&bytes](size_t at) {
    int16_t v;
    std::memcpy(&v, &bytes[at * 2], 2);
    return int(v);
  };
  for (size_t f = 0; f < frames; ++f) {
    const size_t a = f * size_t(in), b = f + 1 < frames ? a + size_t(in) : a;  // the last frame is held
    int from[2] = {sample(a), sample(a + in - 1)}, next[2] = {sample(b), sample(b + in - 1)};
    for (int j = 0; j < k; ++j) {
      int left = (from[0] * (k - j) + next[0] * j) / k;
      int right = (from[1] * (k - j) + next[1] * j) / k;
      if (out == 1) {
        *to++ = int16_t((left + right) / 2);
      } else {
        *to++ = int16_t(left);
        *to++ = int16_t(right);
      }
    }
  }
}

// 16-bit samples with one or two channels, raised to a whole multiple of their rate by
// linear interpolation, into an SDL buffer of `length` bytes; null when the formats are
// not of that kind. The shipped sounds are 22050 Hz mono and the mixer plays 44100 Hz
// stereo: SDL's own converter filters every sample through a long windowed sinc, which
// for the music decoded at start-up was most of the start-up time.
Uint8* ConvertByMultiple(const DecodedPcm& pcm, Uint16 format, int channels, int rate, int& length) {
  const int in = pcm.channels, out = channels;
  if (pcm.format != AUDIO_S16SYS || format != AUDIO_S16SYS || in < 1 || in > 2 || out < 1 ||
      out > 2 || pcm.rate <= 0 || rate % pcm.rate != 0 || rate / pcm.rate > 8)
    return nullptr;
  const int step = rate / pcm.rate;
  const size_t frames = pcm.bytes.size() / (size_t(in) * 2);
  const size_t bytes = frames * size_t(step) * size_t(out) * 2;
  if (bytes > size_t(INT32_MAX)) return nullptr;
  auto* buffer = static_cast<Uint8*>(SDL_malloc(std::max<size_t>(bytes, 1)));
  if (!buffer) return nullptr;
  auto* to = reinterpret_cast<int16_t*>(buffer);
  if (step == 1)
    Interpolate<1>(pcm.bytes, in, out, step, to);
  else if (step == 2)
    Interpolate<2>(pcm.bytes, in, out, step, to);
  else
    Interpolate<0>(pcm.bytes, in, out, step, to);
  length = int(bytes);
  return buffer;
}

// The decoded samples in the mixer's format, as a chunk the mixer frees itself.
Mix_Chunk* ToMixerChunk(const DecodedPcm& pcm) {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&rate, &format, &channels)) return nullptr;
  int length = 0;
  Uint8* buffer = ConvertByMultiple(pcm, format, channels, rate, length);
  if (!buffer) {
    SDL_AudioStream* stream =
        SDL_NewAudioStream(pcm.format, Uint8(pcm.channels), pcm.rate, format, Uint8(channels), rate);
    if (!stream) return nullptr;
    if (SDL_AudioStreamPut(stream, pcm.bytes.data(), int(pcm.bytes.size())) == 0 &&
        SDL_AudioStreamFlush(stream) == 0) {
      length = SDL_AudioStreamAvailable(stream);
      buffer = static_cast<Uint8*>(SDL_malloc(size_t(std::max(length, 1))));
      if (buffer) length = SDL_AudioStreamGet(stream, buffer, length);
    }
    SDL_FreeAudioStream(stream);
  }
  auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
  if (!buffer || length < 0 || !chunk) {
    SDL_free(buffer);
    SDL_free(chunk);
    return nullptr;
  }
  chunk->allocated = 1;
  chunk->abuf = buffer;
  chunk->alen = Uint32(length);
  chunk->volume = MIX_MAX_VOLUME;
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

size_t DecodedSoundLength(const uint8_t* data, size_t size, size_t limit) {
  DecodedPcm pcm;
  size_t length = data ? SoundBytesOf(data, size) : 0;
  if (length == 0) return 0;
  return DecodeSoundData(data, length, limit, pcm) ? pcm.bytes.size() : 0;
}

size_t SoundMixerBytes(int sound) {
  Mix_Chunk* chunk = ChunkOf(sound);
  return chunk ? chunk->alen : 0;
}

std::vector<int16_t> SoundMixerSamples(int sound) {
  Mix_Chunk* chunk = ChunkOf(sound);
  std::vector<int16_t> samples(chunk ? chunk->alen / 2 : 0);
  if (!samples.empty()) std::memcpy(samples.data(), chunk->abuf, samples.size() * 2);
  return samples;
}

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

// WAVE or Ogg Vorbis (an Ogg stream is decoded whatever length the caller states, since a
// stated size smaller than the stream would only cut the sound short), decoded piece by
// piece up to the decode limit, then converted for the mixer. Without a mixer the data
// is only checked and chunk stays null. False when it is neither or fails.
bool DecodeSound(const uint8_t* data, size_t size, Mix_Chunk*& chunk) {
  chunk = nullptr;
  if (!data) return false;
  size_t length = SoundBytesOf(data, size);
  if (length == 0) return false;
  if (!MixerOpen) return true;
  DecodedPcm pcm;
  if (!DecodeSoundData(data, length, MaxDecodedSoundBytes, pcm)) return false;
  chunk = ToMixerChunk(pcm);
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
