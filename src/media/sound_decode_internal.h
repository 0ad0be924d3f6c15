// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Inside the sound layer: reading WAVE and Ogg Vorbis data, converting samples to the
// mixer's format, and the streamed voice that decodes a kept Ogg stream while its
// channel plays. sound.cpp keeps the table of numbers and talks to the mixer.
#pragma once

#include <SDL_audio.h>
#include <vorbis/vorbisfile.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>



namespace kw {

// Samples as their decoder gives them, before the mixer converts them.
struct DecodedPcm {
  uint16_t format = 0;  // an SDL audio format
  int channels = 0;
  int rate = 0;
  std::vector<uint8_t> bytes;
};

// The mixer's output format.
struct MixerFormat {
  uint16_t format = 0;
  int channels = 0;
  int rate = 0;
};

bool IsOgg(const uint8_t* data, size_t size);
// The bytes of data that make up the sound: a WAVE file ends where its RIFF header says
// (cut to what is really there); 0 when it is neither WAVE nor Ogg.
size_t SoundBytesOf(const uint8_t* data, size_t size);
// A checked WAVE or Ogg sound decoded into pcm, at most limit bytes of samples.
bool DecodeSoundData(const uint8_t* data, size_t size, size_t limit, DecodedPcm& pcm);
// 16-bit one- or two-channel samples raised to a whole multiple of their rate by linear
// interpolation, into an SDL buffer the caller frees; null when the formats are not of
// that kind.
uint8_t* ConvertByMultiple(const DecodedPcm& pcm, const MixerFormat& mixer, int& length);

// Where an OggReader stands in its data.
struct OggReaderMemory {
  const uint8_t* data = nullptr;
  size_t size = 0, pos = 0;
};

// An Ogg Vorbis stream in memory read as 16-bit little-endian pieces. One pass ends at
// the stream's end, at damage, where a chained stream changes its format, or after
// limit bytes of samples: loading and streaming read through this same path, so a
// stream plays exactly what its load decoded.
class OggReader {
 public:
  OggReader() = default;
  OggReader(const OggReader&) = delete;
  OggReader& operator=(const OggReader&) = delete;
  ~OggReader() { Close(); }
  bool Open(const uint8_t* data, size_t size, size_t limit);  // false: no usable stream
  void Close();
  bool IsOpen() const { return open_; }
  int Channels() const { return channels_; }
  int Rate() const { return rate_; }
  // Up to want bytes (whole frames) into to; 0 at the end of the pass.
  long Read(char* to, int want);

 private:
  OggReaderMemory in_;
  OggVorbis_File file_{};
  bool open_ = false, ended_ = true;
  int channels_ = 0, rate_ = 0;
  size_t limit_ = 0, decoded_ = 0;
};

// Own-format 16-bit pieces to mixer samples, piece by piece, giving the same samples as
// converting the whole sound at once would.
class StreamConverter {
 public:
  StreamConverter() = default;
  StreamConverter(const StreamConverter&) = delete;
  StreamConverter& operator=(const StreamConverter&) = delete;
  ~StreamConverter();
  // False when no conversion from (channels, rate) to the mixer exists.
  bool Start(int channels, int rate, const MixerFormat& mixer);
  // Converts a piece, appending to out; the last frame waits for its successor.
  void Put(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out);
  // The end of the sound: what is still held back goes to out; ready for the next pass.
  void Finish(std::vector<uint8_t>& out);

 private:
  int in_ = 0, out_ = 0, step_ = 0;  // step 0: SDL's converter
  std::vector<uint8_t> held_;         // own-format frames not yet converted
  SDL_AudioStream* sdl_ = nullptr;
};

// A compressed sound kept for streaming, shared by every number that loaded it.
struct StreamedTrack {
  std::vector<uint8_t> data;
  int channels = 0, rate = 0;
  size_t limit = 0;  // bytes of samples one pass may decode to (the sound table's limit)
};

// One channel's streamed playback. The main thread sets it up with Start while the
// channel is halted; then only the audio thread touches it through Fill, until the
// channel halts again and Stop runs under the mixer's lock.
class StreamVoice {
 public:
  void Start(std::shared_ptr<const StreamedTrack> track, bool loop, const MixerFormat& mixer);
  void Stop();
  // The next len bytes of mixer samples, silence once the sound has ended; the number
  // of bytes that were sound.
  size_t Fill(uint8_t* to, size_t len);
  bool Ended() const { return ended_.load(); }

 private:
  bool Refill();  // false: the pass ended and nothing is left to hand out

  std::shared_ptr<const StreamedTrack> track_;
  MixerFormat mixer_;
  OggReader reader_;
  StreamConverter converter_;
  std::vector<uint8_t> pending_;  // converted, not yet handed out
  size_t pos_ = 0;
  bool loop_ = false, passEnded_ = false, passHadSamples_ = false;
  std::atomic<bool> ended_{true};
};

// A stream whose samples take more bytes than this (in its own format) is kept
// compressed and decoded while it plays; a shorter one is decoded once at load.
constexpr size_t StreamAboveBytes = 65536;

}  // namespace kw
