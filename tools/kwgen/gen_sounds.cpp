// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Klingenwald developers
// sounds.pak: sixteen short effects (16-bit mono WAV) and six looping music tracks (Ogg
// Vorbis) in catalogue order. The music is modal and medieval in flavour: a drone, a
// plucked or bowed melody over a fixed mode, a flute counter-line and hand drums.
#include <cmath>

#include "audio.h"
#include "kwgen.h"

namespace kwgen {

namespace {

constexpr float TwoPi = 6.28318530718f;
constexpr int R = EffectRate;

Samples Silence(float seconds) { return Samples(size_t(seconds * R), 0.0f); }

// A tone sweeping from f0 to f1 with an exponential decay.
Samples Sweep(float f0, float f1, float seconds, float decay, float harmonics) {
  Samples s = Silence(seconds);
  float phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / R, f = f0 + (f1 - f0) * t / seconds;
    phase += f / R;
    s[i] = (std::sin(TwoPi * phase) + harmonics * std::sin(2 * TwoPi * phase)) * std::exp(-t * decay);
  }
  return s;
}

Samples NoiseBurst(float seconds, float decay, float lowCut, float highCut, uint32_t seed) {
  Samples s = Silence(seconds);
  Noise n(seed);
  for (size_t i = 0; i < s.size(); ++i) s[i] = n.Next() * std::exp(-float(i) / R * decay);
  if (highCut > 0) LowPass(s, highCut, R);
  if (lowCut > 0) HighPass(s, lowCut, R);
  return s;
}

Samples Finish(Samples s, float peak = 0.8f) {
  HighPass(s, 20, R);  // no offset left over from thumps and sweeps
  FadeEnds(s, 30, 300);
  Normalise(s, peak);
  return s;
}

Samples Fanfare() {
  Samples s;
  const int notes[5] = {67, 72, 76, 79, 84};
  for (int i = 0; i < 5; ++i) {
    Samples n = BowedNote(NoteFreq(notes[i]), i == 4 ? 0.6f : 0.16f, R, 0.004f);
    MixInto(s, n, size_t(i * 0.13f * R), 0.8f);
  }
  return Finish(s);
}

Samples Pickup() {
  Samples s = Sweep(880, 1320, 0.12f, 10, 0.3f);
  MixInto(s, Sweep(1320, 1760, 0.15f, 14, 0.2f), size_t(0.07f * R), 0.7f);
  return Finish(s);
}

Samples Swing() { return Finish(NoiseBurst(0.25f, 14, 600, 3000, 386)); }

Samples Clang() {
  Samples s = NoiseBurst(0.05f, 60, 1500, 0, 387);
  MixInto(s, Sweep(1900, 1880, 0.3f, 14, 0.5f), 0, 0.6f);
  MixInto(s, Sweep(2710, 2700, 0.25f, 18, 0.1f), 0, 0.4f);
  return Finish(s);
}

Samples Door() {
  Samples s = Sweep(170, 120, 0.6f, 3, 0.8f);
  Noise n(388);
  for (size_t i = 0; i < s.size(); ++i) s[i] *= 0.6f + 0.4f * std::sin(float(i) / R * TwoPi * 23) * n.Next();
  MixInto(s, DrumHit(70, 0.3f, R, 0.6f, 388), size_t(0.5f * R), 1.0f);
  return Finish(s);
}

Samples Thud() { return Finish(DrumHit(60, 0.35f, R, 0.8f, 389)); }

Samples KeyJingle() {
  Samples s;
  for (int i = 0; i < 4; ++i) MixInto(s, Sweep(2400 + i * 300.0f, 2400 + i * 300.0f, 0.15f, 30, 0.2f), size_t(i * 0.05f * R), 0.6f);
  return Finish(s);
}

Samples Magic() {
  Samples s = Silence(0.8f);
  for (int k = 0; k < 4; ++k) {
    Samples t = Sweep(400.0f * (k + 2), 600.0f * (k + 2), 0.8f, 3, 0.0f);
    for (size_t i = 0; i < t.size(); ++i) t[i] *= 0.5f + 0.5f * std::sin(float(i) / R * TwoPi * (6 + k));
    MixInto(s, t, 0, 0.3f);
  }
  return Finish(s);
}

Samples Whoosh() {
  Samples s = NoiseBurst(0.7f, 0, 200, 2500, 392);
  for (size_t i = 0; i < s.size(); ++i) s[i] *= std::sin(float(i) / s.size() * 3.14159f);
  return Finish(s);
}

// A soft looping hum; its length holds whole periods of every part so the loop is seamless.
Samples AuraHum(float base, float beat, uint32_t seed) {
  float seconds = 2.0f;
  Samples s = Silence(seconds);
  Noise n(seed);
  float air = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    float t = float(i) / R;
    air += 0.02f * (n.Next() - air);
    s[i] = 0.5f * std::sin(TwoPi * base * t) + 0.25f * std::sin(TwoPi * base * 1.5f * t) +
           0.2f * std::sin(TwoPi * base * 2 * t) * (0.5f + 0.5f * std::sin(TwoPi * beat * t)) + 0.3f * air;
  }
  MakeLoop(s, R / 10);
  RemoveDc(s);
  Normalise(s, 0.5f);
  return s;
}

Samples Death() {
  Samples s = Sweep(440, 110, 1.2f, 1.5f, 0.5f);
  MixInto(s, Sweep(330, 80, 1.2f, 1.5f, 0.3f), size_t(0.1f * R), 0.7f);
  return Finish(s);
}

Samples Hurt() {
  Samples s = Sweep(300, 180, 0.25f, 8, 0.9f);
  MixInto(s, NoiseBurst(0.1f, 30, 300, 2000, 397), 0, 0.5f);
  return Finish(s);
}

Samples FuseHiss() {
  Samples s = NoiseBurst(1.0f, 0, 2500, 0, 447);
  Noise n(4470);
  for (size_t i = 0; i < s.size(); ++i) s[i] *= 0.7f + 0.3f * std::fabs(n.Next());
  MakeLoop(s, R / 20);
  RemoveDc(s);
  Normalise(s, 0.5f);
  return s;
}

// ---------------------------------------------------------------------------------------
// Music

struct Tune {
  int sound;                // the catalogue number the track is loaded into
  int root;                 // MIDI note of the mode's final
  std::vector<int> mode;    // scale steps in semitones
  float bpm;
  int bars;                 // of four beats
  uint32_t seed;
  bool bowed;               // bowed melody, else plucked
  bool flute;               // a flute counter-line
  int drumPattern;          // 0 none, 1 slow, 2 dance
};

int Degree(const Tune& t, int d) {
  int n = int(t.mode.size());
  int oct = d >= 0 ? d / n : -((-d + n - 1) / n);
  return t.root + 12 * oct + t.mode[size_t(d - oct * n)];
}

// A melody that walks the mode in small steps, returning to the final at phrase ends.
std::vector<int> MelodyLine(const Tune& t, int notes) {
  Rng r(t.seed);
  std::vector<int> line;
  int d = 0;
  for (int i = 0; i < notes; ++i) {
    if (i % 16 == 15) d = 0;
    else if (i % 16 == 7) d = 4;
    else d += r.Range(-2, 2);
    d = std::max(-2, std::min(9, d));
    line.push_back(r.Unit() < 0.12f && i % 8 != 0 ? -999 : d);  // -999: a rest
  }
  return line;
}

Samples Music(const Tune& t) {
  float beat = 60.0f / t.bpm;
  int beats = t.bars * 4;
  float seconds = beats * beat;
  Samples out = Drone(NoteFreq(t.root - 24), seconds + 1, MusicRate);
  MixInto(out, Drone(NoteFreq(t.root - 12 + 7), seconds + 1, MusicRate), 0, 0.35f);
  for (auto& v : out) v *= 0.45f;
  // Melody: two notes a beat, some held.
  std::vector<int> line = MelodyLine(t, beats * 2);
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == -999) continue;
    float f = NoteFreq(Degree(t, line[i]) + 12);
    float len = (i % 4 == 3) ? beat * 1.2f : beat * 0.6f;
    Samples n = t.bowed ? BowedNote(f, len, MusicRate, 0.006f)
                        : PluckNote(f, len * 1.8f, MusicRate, 0.55f, t.seed + uint32_t(i));
    MixInto(out, n, size_t(i * beat * 0.5f * MusicRate), t.bowed ? 0.45f : 0.6f);
  }
  if (t.flute) {
    Tune ft = t;
    ft.seed += 17;
    std::vector<int> counter = MelodyLine(ft, beats / 2);
    for (size_t i = 0; i < counter.size(); ++i)
      if (counter[i] != -999 && (i / 8) % 2 == 1)
        MixInto(out, FluteNote(NoteFreq(Degree(t, counter[i] + 2) + 24), beat * 1.9f, MusicRate, t.seed + uint32_t(i)),
                size_t(i * beat * 2 * MusicRate), 0.22f);
  }
  for (int b = 0; b < beats && t.drumPattern; ++b) {
    size_t at = size_t(b * beat * MusicRate);
    if (b % 4 == 0) MixInto(out, DrumHit(80, 0.4f, MusicRate, 0.4f, t.seed + uint32_t(b)), at, 0.7f);
    if (t.drumPattern == 2 && b % 2 == 1) MixInto(out, DrumHit(190, 0.15f, MusicRate, 0.9f, t.seed + 99u + uint32_t(b)), at, 0.35f);
    if (t.drumPattern == 2 && b % 4 == 2)
      MixInto(out, DrumHit(190, 0.15f, MusicRate, 0.9f, t.seed + 7u), at + size_t(beat * 0.5f * MusicRate), 0.3f);
  }
  // The tail beyond the loop length folds back into the start: seamless looping.
  size_t loopLen = size_t(seconds * MusicRate);
  for (size_t i = loopLen; i < out.size(); ++i) out[i - loopLen] += out[i];
  out.resize(loopLen);
  LowPassLoop(out, 6000, MusicRate);
  // Equal loudness for all tracks (by RMS, not by peak: a drum-heavy track would otherwise
  // sound quieter), no offset, peaks bent softly below -1 dBFS.
  RemoveDc(out);
  NormaliseRms(out, 0.12f, 0.6f, 0.88f);
  return out;
}

}  // namespace

PackFiles MakeSoundsPack() {
  namespace Snd = kw::Snd;
  RowPack pack = StartPack(kw::SoundsPak);
  auto wav = [&](int sound, const Samples& s) { Put(pack, sound, EncodeWav(s, R)); };
  // The numbers in the calls are seeds and pitches, not catalogue numbers.
  wav(Snd::ScoreBonus, Fanfare());
  wav(Snd::Pickup, Pickup());
  wav(Snd::SwordSwing, Swing());
  wav(Snd::Click, Clang());
  wav(Snd::Door, Door());
  wav(Snd::Thud, Thud());
  wav(Snd::KeyFound, KeyJingle());
  wav(Snd::Magic, Magic());
  wav(Snd::Respawn, Whoosh());
  wav(Snd::TurnHum, AuraHum(110, 1.0f, 393));
  wav(Snd::ShieldHum, AuraHum(147, 1.5f, 394));
  wav(Snd::Death, Death());  // also loaded as Snd::Fall
  wav(Snd::Hurt, Hurt());
  wav(Snd::FrostHum, AuraHum(196, 2.0f, 398));
  wav(Snd::FetchHum, AuraHum(131, 0.5f, 399));
  wav(Snd::BombFuse, FuseHiss());
  const std::vector<int> dorian = {0, 2, 3, 5, 7, 9, 10}, aeolian = {0, 2, 3, 5, 7, 8, 10};
  const std::vector<int> mixolydian = {0, 2, 4, 5, 7, 9, 10}, phrygian = {0, 1, 3, 5, 7, 8, 10};
  const Tune tunes[6] = {
      {Snd::MusicForest, 62, dorian, 100, 14, 377, false, true, 2},
      {Snd::MusicCaves, 57, aeolian, 84, 12, 378, true, false, 1},
      {Snd::MusicMenu, 60, mixolydian, 72, 10, 379, false, true, 0},
      {Snd::MusicTower, 64, phrygian, 90, 12, 380, true, true, 1},
      {Snd::MusicPass, 55, dorian, 112, 16, 381, false, false, 2},
      {Snd::MusicTimeMatch, 62, mixolydian, 132, 18, 382, false, true, 2},
  };
  for (const Tune& t : tunes) Put(pack, t.sound, EncodeOgg(Music(t), MusicRate, 0.3f));
  return FinishPack(pack);
}

}  // namespace kwgen
