// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Decoding sounds and bringing their samples to the mixer's format, either all at once
// at load or, for a long Ogg stream, piece by piece while its channel plays. Both ways
// read the stream through OggReader and convert with the same interpolation, so a
// streamed sound sounds exactly as it would decoded whole.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "media/sound_decode_internal.h"

namespace kw {

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IsWave(const uint8_t* data, size_t size) {
  return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
}

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

// The whole of an Ogg Vorbis stream (one pass of OggReader) as 16-bit samples.
bool DecodeOgg(const uint8_t* data, size_t size, size_t limit, DecodedPcm& out) {
  OggReader reader;
  if (!reader.Open(data, size, limit)) return false;
  out.format = AUDIO_S16LSB;
  out.channels = reader.Channels();
  out.rate = reader.Rate();
  char piece[8192];
  long got;
  while ((got = reader.Read(piece, sizeof piece)) > 0) out.bytes.insert(out.bytes.end(), piece, piece + got);
  return !out.bytes.empty();
}

// Reading an Ogg stream that lies in memory.
size_t ReadMemory(void* ptr, size_t size, size_t count, void* source) {
  auto* in = static_cast<OggReaderMemory*>(source);
  size_t n = size == 0 ? 0 : std::min(count, (in->size - in->pos) / size);
  if (n) std::memcpy(ptr, in->data + in->pos, n * size);
  in->pos += n * size;
  return n;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
  auto* in = static_cast<OggReaderMemory*>(source);
  ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(in->pos)
                                                                  : ogg_int64_t(in->size);
  if (offset < -base || base + offset > ogg_int64_t(in->size)) return -1;
  in->pos = size_t(base + offset);
  return 0;
}

long TellMemory(void* source) { return long(static_cast<OggReaderMemory*>(source)->pos); }

// Linear interpolation of 16-bit frames (in channels) to `step` frames each (out
// channels): the first count of the frames available, each towards its successor, the
// last available one held. Step is that multiple when known while compiling, so the
// divisions become shifts for the common ones, or 0.
template <int Step>
void Interpolate(const uint8_t* bytes, size_t frames, size_t count, int in, int out, int step,
                 int16_t* to) {
  const int k = Step ? Step : step;
  auto sample = [bytes](size_t at) {
    int16_t v;
    std::memcpy(&v, bytes + at * 2, 2);
    return int(v);
  };
  for (size_t f = 0; f < count; ++f) {
    const size_t a = f * size_t(in), b = f + 1 < frames ? a + size_t(in) : a;
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

void InterpolateAny(const uint8_t* bytes, size_t frames, size_t count, int in, int out, int step,
                    int16_t* to) {
  if (step == 1)
    Interpolate<1>(bytes, frames, count, in, out, step, to);
  else if (step == 2)
    Interpolate<2>(bytes, frames, count, in, out, step, to);
  else
    Interpolate<0>(bytes, frames, count, in, out, step, to);
}

// The whole multiple that takes samples of this kind to the mixer's, or 0. The shipped
// sounds are 22050 Hz mono and the mixer plays 44100 Hz stereo: SDL's own converter
// filters every sample through a long windowed sinc, which is far slower.
int MultipleStep(uint16_t format, int in, int rate, const MixerFormat& mixer) {
  if (format != AUDIO_S16SYS || mixer.format != AUDIO_S16SYS || in < 1 || in > 2 ||
      mixer.channels < 1 || mixer.channels > 2 || rate <= 0 || mixer.rate % rate != 0 ||
      mixer.rate / rate > 8)
    return 0;
  return mixer.rate / rate;
}

}  // namespace

bool IsOgg(const uint8_t* data, size_t size) {
  return size >= 4 && std::memcmp(data, "OggS", 4) == 0;
}

size_t SoundBytesOf(const uint8_t* data, size_t size) {
  if (IsWave(data, size)) return std::min<size_t>(size, size_t(ReadLe32(data + 4)) + 8);
  return IsOgg(data, size) ? size : 0;
}

bool DecodeSoundData(const uint8_t* data, size_t size, size_t limit, DecodedPcm& pcm) {
  return IsWave(data, size) ? DecodeWave(data, size, limit, pcm) : DecodeOgg(data, size, limit, pcm);
}

uint8_t* ConvertByMultiple(const DecodedPcm& pcm, const MixerFormat& mixer, int& length) {
  const int in = pcm.channels, out = mixer.channels;
  const int step = MultipleStep(pcm.format, in, pcm.rate, mixer);
  if (step == 0) return nullptr;
  const size_t frames = pcm.bytes.size() / (size_t(in) * 2);
  const size_t bytes = frames * size_t(step) * size_t(out) * 2;
  if (bytes > size_t(INT32_MAX)) return nullptr;
  auto* buffer = static_cast<Uint8*>(SDL_malloc(std::max<size_t>(bytes, 1)));
  if (!buffer) return nullptr;
  InterpolateAny(pcm.bytes.data(), frames, frames, in, out, step, reinterpret_cast<int16_t*>(buffer));
  length = int(bytes);
  return buffer;
}

// ---- OggReader ----

bool OggReader::Open(const uint8_t* data, size_t size, size_t limit) {
  Close();
  in_ = OggReaderMemory{data, size, 0};
  ov_callbacks callbacks = {ReadMemory, SeekMemory, nullptr, TellMemory};
  if (ov_open_callbacks(&in_, &file_, nullptr, 0, callbacks) != 0) return false;
  open_ = true;
  vorbis_info* info = ov_info(&file_, -1);
  if (!info || info->channels <= 0 || info->rate <= 0) {
    Close();
    return false;
  }
  channels_ = info->channels;
  rate_ = int(info->rate);
  limit_ = limit - limit % (size_t(channels_) * 2);
  decoded_ = 0;
  ended_ = false;
  return true;
}

void OggReader::Close() {
  if (open_) ov_clear(&file_);
  open_ = false;
  ended_ = true;
}

long OggReader::Read(char* to, int want) {
  if (!open_ || ended_) return 0;
  want = int(std::min<size_t>(size_t(std::max(want, 0)), limit_ - decoded_));
  want -= want % (channels_ * 2);
  // Each hole skips over damaged data, so their number is bounded by the data; the
  // count only keeps a pathological stream from spinning for long in one call.
  for (int holes = 0; want > 0 && holes < 100000; ++holes) {
    int section = 0;
    long got = ov_read(&file_, to, want, 0, 2, 1, &section);
    if (got == OV_HOLE) continue;
    // A chained stream that changes its format mid-way ends the sound there.
    vorbis_info* now = got > 0 ? ov_info(&file_, section) : nullptr;
    if (!now || now->channels != channels_ || now->rate != rate_) break;
    decoded_ += size_t(got);
    return got;
  }
  ended_ = true;
  return 0;
}

// ---- StreamConverter ----

StreamConverter::~StreamConverter() {
  if (sdl_) SDL_FreeAudioStream(sdl_);
}

bool StreamConverter::Start(int channels, int rate, const MixerFormat& mixer) {
  if (sdl_) SDL_FreeAudioStream(sdl_);
  sdl_ = nullptr;
  held_.clear();
  in_ = channels;
  out_ = mixer.channels;
  step_ = MultipleStep(AUDIO_S16LSB, channels, rate, mixer);
  if (step_) return true;
  if (channels < 1 || channels > 255) return false;
  sdl_ = SDL_NewAudioStream(AUDIO_S16LSB, Uint8(channels), rate, mixer.format, Uint8(mixer.channels),
                            mixer.rate);
  return sdl_ != nullptr;
}

void StreamConverter::Put(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out) {
  if (sdl_) {
    if (SDL_AudioStreamPut(sdl_, bytes, int(size)) != 0) return;
    int available = SDL_AudioStreamAvailable(sdl_);
    if (available <= 0) return;
    size_t at = out.size();
    out.resize(at + size_t(available));
    int got = SDL_AudioStreamGet(sdl_, out.data() + at, available);
    out.resize(at + size_t(std::max(got, 0)));
    return;
  }
  if (step_ == 0) return;
  held_.insert(held_.end(), bytes, bytes + size);
  const size_t frameBytes = size_t(in_) * 2, frames = held_.size() / frameBytes;
  if (frames < 2) return;
  const size_t count = frames - 1;  // the last waits for its successor
  size_t at = out.size();
  out.resize(at + count * size_t(step_) * size_t(out_) * 2);
  InterpolateAny(held_.data(), frames, count, in_, out_, step_,
                 reinterpret_cast<int16_t*>(out.data() + at));
  held_.erase(held_.begin(), held_.begin() + std::ptrdiff_t(count * frameBytes));
}

void StreamConverter::Finish(std::vector<uint8_t>& out) {
  if (sdl_) {
    if (SDL_AudioStreamFlush(sdl_) == 0) {
      int available = SDL_AudioStreamAvailable(sdl_);
      if (available > 0) {
        size_t at = out.size();
        out.resize(at + size_t(available));
        int got = SDL_AudioStreamGet(sdl_, out.data() + at, available);
        out.resize(at + size_t(std::max(got, 0)));
      }
    }
    SDL_AudioStreamClear(sdl_);
    return;
  }
  const size_t frameBytes = size_t(std::max(in_, 1)) * 2, frames = held_.size() / frameBytes;
  if (step_ && frames > 0) {
    size_t at = out.size();
    out.resize(at + frames * size_t(step_) * size_t(out_) * 2);
    InterpolateAny(held_.data(), frames, frames, in_, out_, step_,
                   reinterpret_cast<int16_t*>(out.data() + at));
  }
  held_.clear();
}

// ---- StreamVoice ----

void StreamVoice::Start(std::shared_ptr<const StreamedTrack> track, bool loop,
                        const MixerFormat& mixer) {
  Stop();
  track_ = std::move(track);
  loop_ = loop;
  mixer_ = mixer;
  pending_.clear();
  pos_ = 0;
  passEnded_ = passHadSamples_ = false;
  ended_ = !track_ || !converter_.Start(track_->channels, track_->rate, mixer_);
}

void StreamVoice::Stop() {
  reader_.Close();
  track_.reset();
  pending_.clear();
  pos_ = 0;
  ended_ = true;
}

// At most this many restarts of a looped sound in one fill: every streamed pass is
// longer than a fill, so only a stream that decodes differently each time (which a
// decoder never does) could reach it; it then falls silent instead of spinning.
constexpr int MaxRestartsPerFill = 4;

bool StreamVoice::Refill() {
  pending_.clear();
  pos_ = 0;
  int restarts = 0;
  while (pending_.empty()) {
    if (ended_) return false;
    if (passEnded_) {
      reader_.Close();
      if (!loop_ || !passHadSamples_ || ++restarts > MaxRestartsPerFill) {
        ended_ = true;
        return false;
      }
      passEnded_ = passHadSamples_ = false;
    }
    if (!reader_.IsOpen() &&
        !reader_.Open(track_->data.data(), track_->data.size(), track_->limit)) {
      passEnded_ = true;
      continue;
    }
    char piece[4096];
    long got = reader_.Read(piece, sizeof piece);
    if (got > 0) {
      passHadSamples_ = true;
      converter_.Put(reinterpret_cast<const uint8_t*>(piece), size_t(got), pending_);
    } else {
      converter_.Finish(pending_);
      passEnded_ = true;
    }
  }
  return true;
}

size_t StreamVoice::Fill(uint8_t* to, size_t len) {
  size_t done = 0;
  while (done < len) {
    if (pos_ >= pending_.size() && !Refill()) break;
    size_t n = std::min(len - done, pending_.size() - pos_);
    std::memcpy(to + done, pending_.data() + pos_, n);
    pos_ += n;
    done += n;
  }
  if (done < len) std::memset(to + done, 0, len - done);  // silence after the end
  return done;
}

}  // namespace kw
