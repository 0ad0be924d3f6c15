// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sound loading (WAVE, Ogg Vorbis, garbage), volume and playing, with the mixer open on
// SDL's dummy audio driver and without any audio device.
#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "media/sound.h"
#include "media/sound_internal.h"

namespace kw {
namespace {

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// A 16-bit stereo 44.1 kHz square wave of the given length, as a RIFF/WAVE file.
std::vector<uint8_t> MakeWave(int frames) {
  std::vector<uint8_t> wav;
  uint32_t dataBytes = uint32_t(frames) * 4;
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  PutLe(wav, 36 + dataBytes, 4);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);          // PCM
  PutLe(wav, 2, 2);          // channels
  PutLe(wav, 44100, 4);      // rate
  PutLe(wav, 44100 * 4, 4);  // bytes per second
  PutLe(wav, 4, 2);          // block align
  PutLe(wav, 16, 2);         // bits
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  PutLe(wav, dataBytes, 4);
  for (int i = 0; i < frames; ++i) {
    uint16_t sample = (i / 50) % 2 ? 8000 : uint16_t(-8000);
    PutLe(wav, sample, 2);
    PutLe(wav, sample, 2);
  }
  return wav;
}

// A short mono Ogg Vorbis stream of a sine tone, encoded with libvorbisenc.
std::vector<uint8_t> MakeOgg(int frames) {
  std::vector<uint8_t> out;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 1, 44100, 0.3f) != 0) return out;
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);
  ogg_packet header, headerComment, headerCode;
  vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &headerComment);
  ogg_stream_packetin(&stream, &headerCode);
  ogg_page page;
  auto putPage = [&] {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  };
  while (ogg_stream_flush(&stream, &page)) putPage();
  float** buffer = vorbis_analysis_buffer(&dsp, frames);
  for (int i = 0; i < frames; ++i) buffer[0][i] = 0.3f * std::sin(i * 0.05f);
  vorbis_analysis_wrote(&dsp, frames);
  vorbis_analysis_wrote(&dsp, 0);
  ogg_packet packet;
  while (vorbis_analysis_blockout(&dsp, &block) == 1) {
    vorbis_analysis(&block, nullptr);
    vorbis_bitrate_addblock(&block);
    while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
      ogg_stream_packetin(&stream, &packet);
      while (ogg_stream_pageout(&stream, &page)) putPage();
    }
  }
  while (ogg_stream_flush(&stream, &page)) putPage();
  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
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

// A 16-bit mono WAVE file of the given samples at the given rate.
std::vector<uint8_t> MonoWave(const std::vector<int16_t>& samples, int rate) {
  std::vector<uint8_t> wav;
  uint32_t dataBytes = uint32_t(samples.size()) * 2;
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  PutLe(wav, 36 + dataBytes, 4);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe(wav, 16, 4);
  PutLe(wav, 1, 2);
  PutLe(wav, 1, 2);
  PutLe(wav, uint32_t(rate), 4);
  PutLe(wav, uint32_t(rate) * 2, 4);
  PutLe(wav, 2, 2);
  PutLe(wav, 16, 2);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  PutLe(wav, dataBytes, 4);
  for (int16_t v : samples) PutLe(wav, uint16_t(v), 2);
  return wav;
}

// The shipped sounds are 22050 Hz mono: the mixer (44100 Hz stereo) gets every sample
// twice as long, the step between two samples halved, the same on both sides, the last
// held. A rate that is no whole part of the mixer's still converts, to about its length.
TEST_F(SoundTest, HalfRateMonoSoundsAreDoubledAndSpreadToBothSides) {
  const std::vector<int16_t> samples = {0, 1000, -1000, 32767, -32768, 7};
  std::vector<uint8_t> wav = MonoWave(samples, 22050);
  ASSERT_EQ(LoadSoundFromMemory(1, wav.data(), wav.size(), 0), 1);
  const std::vector<int16_t> expected = {0,     0,     500,   500,   1000,  1000,  0,     0,
                                         -1000, -1000, 15883, 15883, 32767, 32767, 0,     0,
                                         -32768, -32768, -16380, -16380, 7, 7, 7, 7};
  EXPECT_EQ(SoundMixerSamples(1), expected);

  std::vector<uint8_t> odd = MonoWave(std::vector<int16_t>(32000, 100), 32000);
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
