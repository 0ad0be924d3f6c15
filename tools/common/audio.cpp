// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// Sound writers and synthesis helpers of the generator: see audio.h.
#include "audio.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kwgen {

namespace {

constexpr float TwoPi = 6.28318530718f;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v & 255));
  b.push_back(uint8_t((v >> 8) & 255));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutTag(std::vector<uint8_t>& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(tag[i]));
}

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> EncodeWav(const Samples& samples, int rate) {
  std::vector<int16_t> pcm;
  pcm.reserve(samples.size());
  for (float s : samples) pcm.push_back(int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)));
  return EncodeWav16(pcm, rate);
}

std::vector<uint8_t> EncodeWav16(const std::vector<int16_t>& samples, int rate, int channels) {
  std::vector<uint8_t> b;
  const uint32_t dataBytes = uint32_t(samples.size() * 2), frameBytes = uint32_t(channels) * 2;
  PutTag(b, "RIFF");
  Put32(b, 36 + dataBytes);
  PutTag(b, "WAVE");
  PutTag(b, "fmt ");
  Put32(b, 16);
  Put16(b, 1);  // PCM
  Put16(b, uint32_t(channels));
  Put32(b, uint32_t(rate));
  Put32(b, uint32_t(rate) * frameBytes);
  Put16(b, frameBytes);
  Put16(b, 16);
  PutTag(b, "data");
  Put32(b, dataBytes);
  for (int16_t v : samples) Put16(b, uint32_t(uint16_t(v)));
  return b;
}

std::vector<uint8_t> EncodeOgg(const Samples& samples, int rate, float quality) {
  std::vector<uint8_t> out;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 1, rate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "kwgen");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 0x4B57);  // fixed serial number: reproducible files
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) AppendPage(out, page);

  const size_t chunk = 4096;
  size_t pos = 0;
  bool eos = false;
  while (!eos) {
    size_t n = std::min(chunk, samples.size() - pos);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, int(n));
      for (size_t i = 0; i < n; ++i) buffer[0][i] = std::clamp(samples[pos + i], -1.0f, 1.0f);
      vorbis_analysis_wrote(&vd, int(n));
      pos += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &page)) {
          AppendPage(out, page);
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
    if (n == 0) eos = true;
  }
  while (ogg_stream_flush(&os, &page)) AppendPage(out, page);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

void Normalise(Samples& s, float peak) {
  float m = 0;
  for (float v : s) m = std::max(m, std::fabs(v));
  if (m <= 0) return;
  for (float& v : s) v *= peak / m;
}

void RemoveDc(Samples& s) {
  if (s.empty()) return;
  double sum = 0;
  for (float v : s) sum += v;
  float mean = float(sum / double(s.size()));
  for (float& v : s) v -= mean;
}

void NormaliseRms(Samples& s, float rms, float knee, float peak) {
  if (s.empty()) return;
  double sum = 0;
  for (float v : s) sum += double(v) * v;
  float now = float(std::sqrt(sum / double(s.size())));
  if (now <= 0) return;
  for (float& v : s) v *= rms / now;
  // Above the knee the curve flattens towards peak (tanh keeps it smooth).
  float room = peak - knee;
  if (room <= 0) return;
  for (float& v : s) {
    float a = std::fabs(v);
    if (a <= knee) continue;
    float bent = knee + room * std::tanh((a - knee) / room);
    v = v < 0 ? -bent : bent;
  }
}

void LowPassLoop(Samples& s, float cutoffHz, int rate) {
  if (s.empty()) return;
  float a = 1 - std::exp(-TwoPi * cutoffHz / rate);
  float y = 0;
  for (float v : s) y += a * (v - y);  // one pass to settle the state at the loop's end
  for (float& v : s) v = y += a * (v - y);
}

void FadeEnds(Samples& s, int in, int out) {
  int n = int(s.size());
  for (int i = 0; i < std::min(in, n); ++i) s[size_t(i)] *= float(i) / in;
  for (int i = 0; i < std::min(out, n); ++i) s[size_t(n - 1 - i)] *= float(i) / out;
}

void MakeLoop(Samples& s, int overlap) {
  if (overlap <= 0 || size_t(overlap) * 2 >= s.size()) return;
  size_t n = s.size() - size_t(overlap);
  for (int i = 0; i < overlap; ++i) {
    float t = float(i) / overlap;
    s[size_t(i)] = s[size_t(i)] * t + s[n + size_t(i)] * (1 - t);
  }
  s.resize(n);
}

void LowPass(Samples& s, float cutoffHz, int rate) {
  float a = 1 - std::exp(-TwoPi * cutoffHz / rate);
  float y = 0;
  for (float& v : s) v = y += a * (v - y);
}

void HighPass(Samples& s, float cutoffHz, int rate) {
  float a = 1 - std::exp(-TwoPi * cutoffHz / rate);
  float low = 0;
  for (float& v : s) {
    low += a * (v - low);
    v -= low;
  }
}

void MixInto(Samples& dst, const Samples& src, size_t offset, float gain) {
  if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
  for (size_t i = 0; i < src.size(); ++i) dst[offset + i] += src[i] * gain;
}

// Karplus-Strong: a burst of noise circulating in a delay line with a gentle low-pass.
Samples PluckNote(float freq, float seconds, int rate, float brightness, uint32_t seed) {
  size_t n = size_t(seconds * rate);
  Samples out(n);
  size_t period = std::max<size_t>(2, size_t(float(rate) / freq));
  Samples line(period);
  Noise noise(seed);
  for (auto& v : line) v = noise.Next();
  float prev = 0;
  for (size_t i = 0; i < n; ++i) {
    size_t k = i % period;
    float cur = line[k];
    float next = line[(k + 1) % period];
    float avg = 0.5f * (cur + next);
    line[k] = 0.996f * (brightness * avg + (1 - brightness) * (0.5f * (avg + prev)));
    prev = avg;
    out[i] = cur;
  }
  FadeEnds(out, 20, std::min<int>(int(n / 4), rate / 20));
  return out;
}

Samples BowedNote(float freq, float seconds, int rate, float vibrato) {
  size_t n = size_t(seconds * rate);
  Samples out(n);
  float phase = 0;
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / rate;
    float f = freq * (1 + vibrato * std::sin(TwoPi * 5.2f * t) * std::min(1.0f, t * 2));
    phase += f / rate;
    phase -= std::floor(phase);
    // A softened sawtooth: the first harmonics with falling weights.
    float v = 0;
    for (int h = 1; h <= 6; ++h) v += std::sin(TwoPi * phase * h) / (h * 1.2f);
    float env = std::min(1.0f, t / 0.12f) * std::min(1.0f, (seconds - t) / 0.15f);
    out[i] = v * 0.5f * env;
  }
  return out;
}

Samples FluteNote(float freq, float seconds, int rate, uint32_t seed) {
  size_t n = size_t(seconds * rate);
  Samples out(n);
  Noise noise(seed);
  float phase = 0, breath = 0;
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / rate;
    phase += freq * (1 + 0.004f * std::sin(TwoPi * 4.5f * t)) / rate;
    phase -= std::floor(phase);
    breath += 0.05f * (noise.Next() - breath);
    float v = std::sin(TwoPi * phase) + 0.2f * std::sin(TwoPi * phase * 2) + 0.6f * breath;
    float env = std::min(1.0f, t / 0.06f) * std::min(1.0f, (seconds - t) / 0.1f);
    out[i] = v * 0.45f * std::max(0.0f, env);
  }
  return out;
}

Samples DrumHit(float freq, float seconds, int rate, float noiseAmount, uint32_t seed) {
  size_t n = size_t(seconds * rate);
  Samples out(n);
  Noise noise(seed);
  float phase = 0, nlow = 0;
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / rate;
    float f = freq * (1 + 0.6f * std::exp(-t * 40));
    phase += f / rate;
    nlow += 0.3f * (noise.Next() - nlow);
    float body = std::sin(TwoPi * phase) * std::exp(-t * 9);
    float skin = nlow * std::exp(-t * 30) * noiseAmount;
    out[i] = body + skin;
  }
  FadeEnds(out, 4, 64);
  return out;
}

Samples Drone(float freq, float seconds, int rate) {
  size_t n = size_t(seconds * rate);
  Samples out(n);
  float p1 = 0, p2 = 0, p3 = 0;
  for (size_t i = 0; i < n; ++i) {
    float t = float(i) / rate;
    p1 += freq / rate;
    p2 += freq * 1.5f * 1.002f / rate;
    p3 += freq * 2.0f * 0.999f / rate;
    float swell = 0.8f + 0.2f * std::sin(TwoPi * 0.1f * t);
    float v = std::sin(TwoPi * p1) + 0.35f * std::sin(TwoPi * p2) + 0.25f * std::sin(TwoPi * p3) +
              0.15f * std::sin(TwoPi * p1 * 3);
    out[i] = v * 0.3f * swell;
  }
  return out;
}

float NoteFreq(int midi) { return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f); }

}  // namespace kwgen
