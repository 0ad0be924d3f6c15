// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sound loading (WAVE, Ogg Vorbis, garbage), volume and playing, with the mixer open on
// SDL's dummy audio driver and without any audio device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
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

// A short mono Ogg Vorbis stream of a sine tone.
std::vector<uint8_t> MakeOgg(int frames) {
  kwgen::Samples samples;
  for (int i = 0; i < frames; ++i) samples.push_back(0.3f * std::sin(i * 0.05f));
  return kwgen::EncodeOgg(samples, 44100, 0.3f);
}

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
