// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sound loading (WAVE, Ogg Vorbis, garbage), volume and playing, with the mixer open on
// SDL's dummy audio driver and without any audio device.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio.h"
#include "media/sound.h"
#include "media/sound_internal.h"

namespace kw {
namespace {

// A 16-bit stereo 44.1 kHz square wave of the given length, as a RIFF/WAVE file.
std::vector<uint8_t> MakeWave(int frames) {
  std::vector<int16_t> samples;
  for (int i = 0; i < frames; ++i) samples.insert(samples.end(), 2, int16_t((i / 50) % 2 ? 8000 : -8000));
  return kwgen::EncodeWav16(samples, 44100, 2);
}

// A mono Ogg Vorbis stream of a sine tone.
std::vector<uint8_t> MakeOgg(int frames, int rate = 44100, float pitch = 0.05f) {
  kwgen::Samples samples;
  for (int i = 0; i < frames; ++i) samples.push_back(0.3f * std::sin(i * pitch));
  return kwgen::EncodeOgg(samples, rate, 0.3f);
}

// What the mixer hands the device, caught after every channel is mixed.
struct MixCapture {
  std::mutex lock;
  std::vector<std::vector<int16_t>> buffers;
  static void Catch(void* self, Uint8* stream, int len) {
    auto* c = static_cast<MixCapture*>(self);
    std::lock_guard<std::mutex> hold(c->lock);
    c->buffers.emplace_back(reinterpret_cast<int16_t*>(stream), reinterpret_cast<int16_t*>(stream) + len / 2);
  }
  // The samples from the first buffer that is not silent on, once there are `want`.
  std::vector<int16_t> WaitFor(size_t want) {
    for (int tries = 0; tries < 400; ++tries) {
      {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<int16_t> out;
        for (const auto& b : buffers)
          if (!out.empty() || std::any_of(b.begin(), b.end(), [](int16_t v) { return v != 0; }))
            out.insert(out.end(), b.begin(), b.end());
        if (out.size() >= want) return out;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }
};

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FreeAllSounds();
    InitSound();
  }
  void TearDown() override { FreeAllSounds(); }
};

TEST_F(SoundTest, WaveLoadsPlaysAndStops) {
  std::vector<uint8_t> wav = MakeWave(44100 * 2);
  EXPECT_EQ(SoundLoaded(5), 0);
  ASSERT_EQ(LoadSoundFromMemory(5, wav.data(), wav.size(), 0), 1);
  EXPECT_EQ(SoundLoaded(5), 1);
  EXPECT_EQ(SoundVolume(5), 100);
  PlaySoundFx(5, 1);
  EXPECT_EQ(SoundPlaying(5), 1);
  EXPECT_EQ(SoundPlaying(6), 0);
  StopSoundFx(5);
  EXPECT_EQ(SoundPlaying(5), 0);
  PlaySoundFx(5, 0);
  EXPECT_EQ(SoundPlaying(5), 1);
  StopSoundFx(-1);
  EXPECT_EQ(SoundPlaying(5), 0);
}

// The shipped sounds are 22050 Hz mono: the mixer (44100 Hz stereo) gets every sample
// twice as long, the step between two samples halved, the same on both sides, the last
// held. A rate that is no whole part of the mixer's still converts, to about its length.
TEST_F(SoundTest, HalfRateMonoSoundsAreDoubledAndSpreadToBothSides) {
  const std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 7};
  std::vector<uint8_t> wav = kwgen::EncodeWav16(samples, 22050);
  ASSERT_EQ(LoadSoundFromMemory(1, wav.data(), wav.size(), 0), 1);
  const std::vector<int16_t> expected = {0,     0,     500,   500,   1000,  1000,  0,     0,
                                         -1000, -1000, 15883, 15883, 32767, 32767, 0,     0,
                                         -32768, -32768, -16380, -16380, 7, 7, 7, 7};
  EXPECT_EQ(SoundMixerSamples(1), expected);

  std::vector<uint8_t> odd = kwgen::EncodeWav16(std::vector<int16_t>(32000, 100), 32000);
  ASSERT_EQ(LoadSoundFromMemory(2, odd.data(), odd.size(), 0), 1);
  // (SDL's converter keeps back a few milliseconds of its filter's length.)
  EXPECT_GT(SoundMixerBytes(2), 44100u * 4 * 95 / 100);
  EXPECT_LE(SoundMixerBytes(2), 44100u * 4);
}

TEST_F(SoundTest, WaveLengthComesFromItsHeaderAndIsCutToTheData) {
  // The data chunk claims 2000 frames, the RIFF header only 1000; what follows the
  // RIFF length is the rest of a pack entry, not sound.
  std::vector<uint8_t> wav = MakeWave(2000);
  uint32_t riff = 36 + 1000 * 4;
  for (int i = 0; i < 4; ++i) wav[4 + i] = uint8_t(riff >> (8 * i));
  EXPECT_EQ(LoadSoundFromMemory(1, wav.data(), wav.size(), 0), 1);
  EXPECT_EQ(SoundMixerBytes(1), 1000u * 4);  // 16-bit stereo 44.1 kHz, as the mixer plays
  EXPECT_EQ(DecodedSoundLength(wav.data(), wav.size(), MaxDecodedSoundBytes), 1000u * 4);
  // A header claiming more than there is must not read past the data.
  std::vector<uint8_t> whole = MakeWave(1000);
  std::vector<uint8_t> truncated(whole.begin(), whole.begin() + 44 + 400);
  EXPECT_EQ(LoadSoundFromMemory(2, truncated.data(), truncated.size(), 0), 1);
  EXPECT_EQ(SoundMixerBytes(2), 400u);
}

// The decode stops at the limit (whole sample frames) instead of decoding everything
// and cutting afterwards; the limit counts the sound's own samples.
TEST_F(SoundTest, DecodingStopsAtTheLimit) {
  EXPECT_EQ(MaxDecodedSoundBytes, 64000000u);
  std::vector<uint8_t> ogg = MakeOgg(44100);  // one second, mono 16-bit
  ASSERT_GT(ogg.size(), 100u);
  size_t whole = DecodedSoundLength(ogg.data(), ogg.size(), MaxDecodedSoundBytes);
  EXPECT_NEAR(double(whole), 44100.0 * 2, 2048.0);
  EXPECT_EQ(DecodedSoundLength(ogg.data(), ogg.size(), 10001), 10000u);
  std::vector<uint8_t> wav = MakeWave(3000);
  EXPECT_EQ(DecodedSoundLength(wav.data(), wav.size(), 5003), 5000u);
  EXPECT_EQ(DecodedSoundLength(wav.data(), wav.size(), MaxDecodedSoundBytes), 12000u);
  const char text[] = "not a sound";
  EXPECT_EQ(DecodedSoundLength(reinterpret_cast<const uint8_t*>(text), sizeof text, 100), 0u);
}

TEST_F(SoundTest, GarbageIsRejectedAndKeepsTheOldSound) {
  std::vector<uint8_t> wav = MakeWave(500);
  ASSERT_EQ(LoadSoundFromMemory(3, wav.data(), wav.size(), 0), 1);
  const char garbage[] = "this is not a sound at all, just text";
  EXPECT_EQ(LoadSoundFromMemory(3, reinterpret_cast<const uint8_t*>(garbage), sizeof garbage, 0), 0);
  EXPECT_EQ(SoundLoaded(3), 1);
  EXPECT_EQ(LoadSoundFromMemory(4, reinterpret_cast<const uint8_t*>(garbage), sizeof garbage, 0), 0);
  EXPECT_EQ(SoundLoaded(4), 0);
  EXPECT_EQ(LoadSoundFromMemory(4, nullptr, 0, 0), 0);
  std::vector<uint8_t> brokenOgg = {'O', 'g', 'g', 'S', 0, 2, 9, 9, 9, 9};
  EXPECT_EQ(LoadSoundFromMemory(4, brokenOgg.data(), brokenOgg.size(), 0), 0);
  EXPECT_EQ(LoadSoundFromMemory(-1, wav.data(), wav.size(), 0), 0);
  EXPECT_EQ(LoadSoundFromMemory(MaxSounds, wav.data(), wav.size(), 0), 0);
}

TEST_F(SoundTest, OggStreamLoadsWhateverLengthIsStated) {
  EnableOggDecoding();
  std::vector<uint8_t> ogg = MakeOgg(44100);
  ASSERT_GT(ogg.size(), 100u);
  EXPECT_EQ(LoadSoundFromMemory(7, ogg.data(), ogg.size(), 0), 1);
  // A stated size smaller than the stream: the whole stream is still decoded.
  EXPECT_EQ(LoadSoundFromMemory(8, ogg.data(), ogg.size(), 60), 1);
  PlaySoundFx(8, 0);
  EXPECT_EQ(SoundPlaying(8), 1);
}

// A long Ogg stream (music) stays compressed and is decoded while it plays: its channel
// gets the very samples a whole decode gives, in whatever pieces the mixer asks for, and
// looped it restarts without a gap, the loop point continuing with the track's start.
TEST_F(SoundTest, StreamedMusicMatchesTheWholeDecodeAndLoopsWithoutAGap) {
  struct Case {
    int rate, frames;
    bool streamed;
  };
  const Case cases[] = {{22050, 22050 * 2, true}, {44100, 40000, true}, {32000, 48000, true},
                        {44100, 20000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    std::vector<uint8_t> ogg = MakeOgg(c.frames, c.rate);
    ASSERT_EQ(LoadSoundFromMemory(20, ogg.data(), ogg.size(), 0), 1);
    EXPECT_EQ(SoundStreamed(20), c.streamed ? 1 : 0);
    std::vector<int16_t> whole = WholeMixerSamples(ogg.data(), ogg.size());
    std::vector<int16_t> pass = SoundMixerSamples(20);
    ASSERT_GT(pass.size(), 1000u);
    if (c.rate != 32000) {
      EXPECT_EQ(pass, whole);  // bit for bit where the rate is a whole part of the mixer's
      EXPECT_EQ(pass.size(), DecodedSoundLength(ogg.data(), ogg.size(), MaxDecodedSoundBytes) *
                                 size_t(44100 / c.rate));  // mono frames doubled to stereo
    } else {
      EXPECT_NEAR(double(pass.size()), double(whole.size()), 4096.0);  // SDL's converter
    }
    if (!c.streamed) continue;
    // Two and a bit passes, asked for in pieces that are no whole number of frames.
    for (size_t piece : {size_t(1234), size_t(8192), size_t(2)}) {
      std::vector<int16_t> looped = StreamedSoundSamples(20, (2 * pass.size() + 1000) * 2, piece);
      std::vector<int16_t> expected = pass;
      expected.insert(expected.end(), pass.begin(), pass.end());
      expected.insert(expected.end(), pass.begin(), pass.begin() + 1000);
      ASSERT_EQ(looped.size(), expected.size()) << piece;
      EXPECT_TRUE(looped == expected) << "piece " << piece;
    }
  }
}

// Through the real mixer: the streamed channel sounds the stream from its start at full
// volume, halts, restarts, and counts as playing exactly while it does.
TEST_F(SoundTest, StreamedMusicPlaysStopsAndRestartsOnItsChannel) {
  std::vector<uint8_t> ogg = MakeOgg(22050 * 3, 22050);
  ASSERT_EQ(LoadSoundFromMemory(21, ogg.data(), ogg.size(), 0), 1);
  ASSERT_EQ(SoundStreamed(21), 1);
  std::vector<int16_t> pass = SoundMixerSamples(21);
  MixCapture capture;
  Mix_SetPostMix(MixCapture::Catch, &capture);
  for (int round = 0; round < 2; ++round) {
    {
      std::lock_guard<std::mutex> hold(capture.lock);
      capture.buffers.clear();
    }
    PlaySoundFx(21, 1);
    EXPECT_EQ(SoundPlaying(21), 1);
    std::vector<int16_t> heard = capture.WaitFor(8192);
    ASSERT_GE(heard.size(), 8192u);
    EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 8192, pass.begin())) << "round " << round;
    StopSoundFx(round == 0 ? 21 : -1);
    EXPECT_EQ(SoundPlaying(21), 0);
  }
  Mix_SetPostMix(nullptr, nullptr);
  SetSoundVolume(21, 40);
  EXPECT_EQ(SoundVolume(21), 40);
  PlaySoundFx(21, 0);
  EXPECT_EQ(SoundPlaying(21), 1);
  FreeSound(21);
  EXPECT_EQ(SoundPlaying(21), 0);
  EXPECT_EQ(SoundLoaded(21), 0);
}

// The same sound loaded under two numbers (the fall and the death share one pack entry)
// is decoded or kept once; each number keeps its own volume and channel, and freeing one
// leaves the other whole.
TEST_F(SoundTest, OneSoundLoadedUnderTwoNumbersSharesItsSamples) {
  std::vector<uint8_t> wav = MakeWave(3000), otherWav = MakeWave(3001);
  std::vector<uint8_t> ogg = MakeOgg(22050 * 2, 22050), otherOgg = MakeOgg(22050 * 2, 22050, 0.07f);
  struct Case {
    const std::vector<uint8_t>& data;
    const std::vector<uint8_t>& other;
  };
  for (const Case& c : {Case{wav, otherWav}, Case{ogg, otherOgg}}) {
    ASSERT_EQ(LoadSoundFromMemory(30, c.data.data(), c.data.size(), 0), 1);
    const SoundMemoryUse one = SoundMemory();
    int second = LoadNewSoundFromMemory(c.data.data(), c.data.size(), 0);
    ASSERT_GT(second, 0);
    SoundMemoryUse two = SoundMemory();
    EXPECT_GT(one.decodedBytes + one.streamedBytes, 0u);
    EXPECT_EQ(two.decodedBytes, one.decodedBytes);
    EXPECT_EQ(two.streamedBytes, one.streamedBytes);
    ASSERT_EQ(LoadSoundFromMemory(31, c.other.data(), c.other.size(), 0), 1);
    EXPECT_EQ(SoundsShareSamples(30, second), 1);
    EXPECT_EQ(SoundsShareSamples(30, 31), 0);
    EXPECT_GT(SoundMemory().decodedBytes + SoundMemory().streamedBytes,
              two.decodedBytes + two.streamedBytes);
    std::vector<int16_t> samples = SoundMixerSamples(30);
    SetSoundVolume(second, 10);
    EXPECT_EQ(SoundVolume(30), 100);
    PlaySoundFx(30, 1);
    PlaySoundFx(second, 1);
    FreeSound(30);
    EXPECT_EQ(SoundPlaying(second), 1);
    EXPECT_EQ(SoundMixerSamples(second), samples);
    FreeSound(second);
    FreeSound(31);
    EXPECT_EQ(SoundMemory().decodedBytes + SoundMemory().streamedBytes, 0u);
  }
}

TEST_F(SoundTest, VolumeIsClampedAndLogarithmic) {
  std::vector<uint8_t> wav = MakeWave(500);
  ASSERT_EQ(LoadSoundFromMemory(9, wav.data(), wav.size(), 0), 1);
  SetSoundVolume(9, 120);
  EXPECT_EQ(SoundVolume(9), 100);
  EXPECT_EQ(SoundMixerVolume(9), 128);
  SetSoundVolume(9, -5);
  EXPECT_EQ(SoundVolume(9), 0);
  EXPECT_EQ(SoundMixerVolume(9), 0);
  int previous = 0;
  for (int v = 1; v <= 100; ++v) {
    SetSoundVolume(9, v);
    int level = SoundMixerVolume(9);
    EXPECT_GE(level, previous) << "volume " << v;
    EXPECT_GE(level, 1) << "volume " << v;
    previous = level;
  }
  SetSoundVolume(9, 50);
  EXPECT_LT(SoundMixerVolume(9), 64);  // half the setting is well below half the power
  SetSoundVolume(10, 50);              // no sound there: nothing happens
  EXPECT_EQ(SoundVolume(10), 0);
}

TEST_F(SoundTest, LoadingOnAnotherThreadWhilePlaying) {
  std::vector<uint8_t> wav = MakeWave(4000);
  ASSERT_EQ(LoadSoundFromMemory(0, wav.data(), wav.size(), 0), 1);
  std::thread loader([&] {
    for (int n = 100; n < 160; ++n) LoadSoundFromMemory(n, wav.data(), wav.size(), 0);
  });
  for (int i = 0; i < 200; ++i) {
    PlaySoundFx(0, 0);
    SetSoundVolume(0, i % 101);
  }
  loader.join();
  for (int n = 100; n < 160; ++n) EXPECT_EQ(SoundLoaded(n), 1);
}

// Without an audio device, loads are still checked and remembered; playing is silent.
TEST(SoundWithoutDevice, LoadsSucceedAndPlayingDoesNothing) {
  FreeAllSounds();
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  InitSound();
  std::vector<uint8_t> wav = MakeWave(500);
  EXPECT_EQ(LoadSoundFromMemory(11, wav.data(), wav.size(), 0), 1);
  EXPECT_EQ(SoundLoaded(11), 1);
  const char garbage[] = "RIFX....nothing";
  EXPECT_EQ(LoadSoundFromMemory(12, reinterpret_cast<const uint8_t*>(garbage), sizeof garbage, 0), 0);
  PlaySoundFx(11, 1);
  EXPECT_EQ(SoundPlaying(11), 0);
  SetSoundVolume(11, 150);
  EXPECT_EQ(SoundVolume(11), 100);
  FreeAllSounds();
  EXPECT_EQ(SoundLoaded(11), 0);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace kw
