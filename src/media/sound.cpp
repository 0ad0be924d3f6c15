// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sounds through SDL_mixer: every sound number owns the mixer channel of the same
// number, so "play from the beginning", "stop" and "volume" act on one sound alone.
// Without an audio device the table still fills (loads succeed, playing is silent),
// so tests and headless runs behave like a real run. The loader thread loads sounds
// while the main thread plays others: the table is guarded by a mutex that is never
// held across a mixer call that may wait for the audio callback.
// A long Ogg stream (the music) stays compressed: its channel plays a looping silent
// chunk whose samples an effect replaces with the stream, decoded as it plays, so the
// channel's volume, halts and "is it playing" work as for any sound. The same data
// loaded under two numbers is decoded (or kept) once and shared.
#include "media/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "media/core.h"
#include "media/sound_decode_internal.h"
#include "media/sound_internal.h"

namespace kw {

namespace {

constexpr int FullVolume = 100;

using ChunkRef = std::shared_ptr<Mix_Chunk>;
using TrackRef = std::shared_ptr<const StreamedTrack>;

// What a load made: decoded samples or a kept stream (neither without a mixer), and
// the identity of the data it came from, by which a second load of it finds it.
struct SoundData {
  ChunkRef chunk;
  TrackRef track;
  uint64_t hash = 0;
  size_t size = 0;
};

struct SoundSlot {
  bool loaded = false;  // holds a sound (decoded, kept or, without a mixer, checked)
  SoundData data;
  int volume = FullVolume;  // 0..100 as the game set it
};

// The table and the voices live as long as the process, never destroyed at its exit:
// a program that ends without FreeAllSounds (the tests that keep the media layer up to
// the end) still has the audio thread mixing from them while static objects go.
std::mutex& SoundTableLock = *new std::mutex;
std::array<SoundSlot, MaxSounds>& Sounds = *new std::array<SoundSlot, MaxSounds>;
bool MixerOpen = false;  // an audio device is playing our mix
MixerFormat Mixer;       // its format while open

// The streamed playback of each channel, made at its first streamed play and kept until
// the mixer closes, so the audio thread never holds a voice that is gone (made and
// looked up under the table's lock).
std::array<std::unique_ptr<StreamVoice>, MaxSounds>& Voices =
    *new std::array<std::unique_ptr<StreamVoice>, MaxSounds>;

StreamVoice* VoiceOf(int sound, bool make) {
  std::lock_guard<std::mutex> lock(SoundTableLock);
  if (!Voices[sound] && make) Voices[sound] = std::make_unique<StreamVoice>();
  return Voices[sound].get();
}

// What a streamed channel plays under its effect: silence, looped for ever.
uint8_t SilenceBytes[4096];
Mix_Chunk Silence = {0, SilenceBytes, sizeof SilenceBytes, MIX_MAX_VOLUME};

bool ValidSound(int sound) { return sound >= 0 && sound < MaxSounds; }

// Decibel-like curve: 0 is silent, 100 is the mixer's full volume, each 50 steps are
// about 20 dB. Every volume above 0 stays audible (at least 1), so the curve never
// turns a quiet setting into silence.
int MixerVolumeOf(int volume) {
  if (volume <= 0) return 0;
  double level = MIX_MAX_VOLUME * (std::pow(10.0, volume / 50.0) - 1.0) / 99.0;
  return std::clamp(static_cast<int>(std::lround(level)), 1, MIX_MAX_VOLUME);
}

// The decoded samples in the mixer's format, as a chunk the mixer frees itself.
Mix_Chunk* ToMixerChunk(const DecodedPcm& pcm) {
  const int rate = Mixer.rate, channels = Mixer.channels;
  const Uint16 format = Mixer.format;
  int length = 0;
  Uint8* buffer = ConvertByMultiple(pcm, Mixer, length);
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

ChunkRef ShareChunk(Mix_Chunk* chunk) {
  return chunk ? ChunkRef(chunk, [](Mix_Chunk* c) { Mix_FreeChunk(c); }) : nullptr;
}

// A fingerprint of a sound's bytes: a second load of the same data finds the first.
uint64_t HashBytes(const uint8_t* p, size_t n) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  for (; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}

// The samples or stream another number already holds for these bytes. A kept stream
// is compared byte for byte; decoded samples by their fingerprint and size.
bool FindLoaded(const uint8_t* data, SoundData& out) {
  std::lock_guard<std::mutex> lock(SoundTableLock);
  for (const SoundSlot& slot : Sounds) {
    const SoundData& d = slot.data;
    if (!slot.loaded || d.size != out.size || d.hash != out.hash) continue;
    if (d.track && std::equal(d.track->data.begin(), d.track->data.end(), data)) {
      out.track = d.track;
      return true;
    }
    if (d.chunk) {
      out.chunk = d.chunk;
      return true;
    }
  }
  return false;
}

// An Ogg stream: short ones decoded whole as before, long ones kept compressed after
// their start decoded (what would fail to load still fails here).
bool PrepareOgg(const uint8_t* data, size_t size, SoundData& out) {
  DecodedPcm pcm;
  if (!DecodeSoundData(data, size, StreamAboveBytes + 8192, pcm)) return false;
  if (pcm.bytes.size() <= StreamAboveBytes) {
    out.chunk = ShareChunk(ToMixerChunk(pcm));
    return out.chunk != nullptr;
  }
  StreamConverter check;
  if (!check.Start(pcm.channels, pcm.rate, Mixer)) return false;
  auto track = std::make_shared<StreamedTrack>();
  track->data.assign(data, data + size);
  track->channels = pcm.channels;
  track->rate = pcm.rate;
  track->limit = MaxDecodedSoundBytes;
  out.track = std::move(track);
  return true;
}

// WAVE or Ogg Vorbis (an Ogg stream is read whatever length the caller states, since a
// stated size smaller than the stream would only cut the sound short), decoded piece by
// piece up to the decode limit and converted for the mixer, or kept for streaming.
// Without a mixer the data is only checked. False when it is neither or fails.
bool PrepareSound(const uint8_t* data, size_t size, SoundData& out) {
  out = SoundData{};
  if (!data) return false;
  size_t length = SoundBytesOf(data, size);
  if (length == 0) return false;
  if (!MixerOpen) return true;
  out.size = length;
  out.hash = HashBytes(data, length);
  if (FindLoaded(data, out)) return true;
  if (IsOgg(data, length)) return PrepareOgg(data, length, out);
  DecodedPcm pcm;
  if (!DecodeSoundData(data, length, MaxDecodedSoundBytes, pcm)) return false;
  out.chunk = ShareChunk(ToMixerChunk(pcm));
  return out.chunk != nullptr;
}

// Fills a slot; the channel of a sound it replaces is halted (the mixer may still be
// reading the old samples), and those are released outside the lock.
void StoreSound(int sound, SoundData data) {
  SoundData old;
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    SoundSlot& slot = Sounds[sound];
    old = std::move(slot.data);
    slot = SoundSlot{true, std::move(data), FullVolume};
  }
  if (MixerOpen && (old.chunk || old.track)) Mix_HaltChannel(sound);
}

// Stores a sound in the highest free slot (never 0); 0 when all are taken.
int StoreInFreeSlot(SoundData& data) {
  std::lock_guard<std::mutex> lock(SoundTableLock);
  for (int n = MaxSounds - 1; n > 0; --n) {
    if (Sounds[n].loaded) continue;
    Sounds[n] = SoundSlot{true, std::move(data), FullVolume};
    return n;
  }
  return 0;
}

// A loaded sound's samples or stream and volume, or nothing.
struct SoundView {
  ChunkRef chunk;
  TrackRef track;
  int volume = 0;
};
SoundView ViewOf(int sound) {
  SoundView v;
  if (!ValidSound(sound)) return v;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  const SoundSlot& slot = Sounds[sound];
  v.chunk = slot.data.chunk;
  v.track = slot.data.track;
  v.volume = slot.volume;
  return v;
}

// The mixer's hooks of a streamed channel (audio thread, or a halt under the mixer's lock).
void StreamEffect(int, void* stream, int len, void* voice) {
  static_cast<StreamVoice*>(voice)->Fill(static_cast<uint8_t*>(stream), size_t(std::max(len, 0)));
}
void StreamDone(int, void* voice) { static_cast<StreamVoice*>(voice)->Stop(); }

// The mixer samples of a kept stream as its channel would get them, in pieces of piece
// bytes, until bytes are handed out or (unlooped) the sound ends.
std::vector<int16_t> StreamSamples(const TrackRef& track, size_t bytes, bool loop, size_t piece) {
  StreamVoice voice;
  voice.Start(track, loop, Mixer);
  std::vector<uint8_t> out;
  piece = std::max<size_t>(piece, 1);
  while (out.size() < bytes) {
    size_t at = out.size(), n = std::min(piece, bytes - at);
    out.resize(at + n);
    size_t got = voice.Fill(out.data() + at, n);
    if (got < n) {
      out.resize(at + got);
      break;
    }
  }
  std::vector<int16_t> samples(out.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), out.data(), samples.size() * 2);
  return samples;
}

}  // namespace

size_t DecodedSoundLength(const uint8_t* data, size_t size, size_t limit) {
  DecodedPcm pcm;
  size_t length = data ? SoundBytesOf(data, size) : 0;
  if (length == 0) return 0;
  return DecodeSoundData(data, length, limit, pcm) ? pcm.bytes.size() : 0;
}

size_t SoundMixerBytes(int sound) {
  ChunkRef chunk = ViewOf(sound).chunk;
  return chunk ? chunk->alen : 0;
}

std::vector<int16_t> SoundMixerSamples(int sound) {
  SoundView v = ViewOf(sound);
  if (v.track) return StreamSamples(v.track, MaxDecodedSoundBytes * 32, false, 8192);
  std::vector<int16_t> samples(v.chunk ? v.chunk->alen / 2 : 0);
  if (!samples.empty()) std::memcpy(samples.data(), v.chunk->abuf, samples.size() * 2);
  return samples;
}

std::vector<int16_t> WholeMixerSamples(const uint8_t* data, size_t size) {
  DecodedPcm pcm;
  size_t length = data && MixerOpen ? SoundBytesOf(data, size) : 0;
  if (length == 0 || !DecodeSoundData(data, length, MaxDecodedSoundBytes, pcm)) return {};
  ChunkRef chunk = ShareChunk(ToMixerChunk(pcm));
  std::vector<int16_t> samples(chunk ? chunk->alen / 2 : 0);
  if (!samples.empty()) std::memcpy(samples.data(), chunk->abuf, samples.size() * 2);
  return samples;
}

int SoundStreamed(int sound) { return ViewOf(sound).track ? 1 : 0; }

std::vector<int16_t> StreamedSoundSamples(int sound, size_t bytes, size_t piece) {
  SoundView v = ViewOf(sound);
  return v.track ? StreamSamples(v.track, bytes, true, piece) : std::vector<int16_t>{};
}

int SoundsShareSamples(int a, int b) {
  SoundView x = ViewOf(a), y = ViewOf(b);
  return (x.chunk && x.chunk == y.chunk) || (x.track && x.track == y.track) ? 1 : 0;
}

SoundMemoryUse SoundMemory() {
  SoundMemoryUse use;
  std::vector<const void*> seen;
  std::lock_guard<std::mutex> lock(SoundTableLock);
  for (const SoundSlot& slot : Sounds) {
    const void* block = slot.data.chunk ? static_cast<const void*>(slot.data.chunk.get())
                                        : static_cast<const void*>(slot.data.track.get());
    if (!block || std::find(seen.begin(), seen.end(), block) != seen.end()) continue;
    seen.push_back(block);
    if (slot.data.chunk) use.decodedBytes += slot.data.chunk->alen;
    if (slot.data.track) use.streamedBytes += slot.data.track->data.size();
  }
  return use;
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
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  Mixer = MixerFormat{format, channels, rate};
  MixerOpen = true;
  return 1;
}

void EnableOggDecoding() {
  if (MixerOpen) Mix_Init(MIX_INIT_OGG);
}

int LoadSoundFromMemory(int sound, const uint8_t* data, size_t size, size_t statedLength) {
  (void)statedLength;
  SoundData loaded;
  if (!ValidSound(sound) || !PrepareSound(data, size, loaded)) return 0;
  StoreSound(sound, std::move(loaded));
  return 1;
}

int LoadNewSoundFromMemory(const uint8_t* data, size_t size, size_t statedLength) {
  (void)statedLength;
  SoundData loaded;
  if (!PrepareSound(data, size, loaded)) return 0;
  return StoreInFreeSlot(loaded);
}

// The channel is halted before the samples go, as the mixer may still be reading them.
void FreeSound(int sound) {
  if (!ValidSound(sound)) return;
  if (MixerOpen) Mix_HaltChannel(sound);
  SoundData old;
  {
    std::lock_guard<std::mutex> lock(SoundTableLock);
    old = std::move(Sounds[sound].data);
    Sounds[sound] = SoundSlot{};
  }
}

// Starts the sound from its beginning on its own channel; loop 1 repeats it. A stream
// starts after the halt of its channel, which ends the previous play's effect, and its
// effect is in place before the channel plays, so no piece of silence leads it in.
void PlaySoundFx(int sound, int loop) {
  SoundView v = ViewOf(sound);
  if ((!v.chunk && !v.track) || !MixerOpen) return;
  Mix_Volume(sound, MixerVolumeOf(v.volume));
  if (v.chunk) {
    Mix_PlayChannel(sound, v.chunk.get(), loop == 1 ? -1 : 0);
    return;
  }
  Mix_HaltChannel(sound);
  StreamVoice* voice = VoiceOf(sound, true);
  voice->Start(v.track, loop == 1, Mixer);
  if (!Mix_RegisterEffect(sound, StreamEffect, StreamDone, voice)) {
    voice->Stop();
    return;
  }
  if (Mix_PlayChannel(sound, &Silence, -1) < 0) Mix_UnregisterAllEffects(sound);
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

// A stream's channel goes on playing silence after an unlooped end: it counts as
// stopped from there.
int SoundPlaying(int sound) {
  SoundView v = ViewOf(sound);
  if (!MixerOpen || (!v.chunk && !v.track) || !Mix_Playing(sound)) return 0;
  if (v.chunk) return 1;
  StreamVoice* voice = VoiceOf(sound, false);
  return voice && !voice->Ended() ? 1 : 0;
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
  for (SoundSlot& slot : old) slot.data = SoundData{};
  if (MixerOpen) {
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    MixerOpen = false;
  }
  std::lock_guard<std::mutex> lock(SoundTableLock);
  for (auto& voice : Voices) voice.reset();
}

}  // namespace kw
