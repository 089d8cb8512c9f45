// The random tune generator: a clef, a C-major key signature and a row of
// quavers beamed in fours on an empty stave, each pitch a sum of random
// weights over bit masks of the note's number.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <random>

#include "model/Score.h"

namespace sw {

// Where every random draw of the program comes from; tests script the draws.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A uniform integer in lo..hi (inclusive).
    virtual int uniform(int lo, int hi) = 0;
};

class SeededRandom : public RandomSource {
  public:
    // Seeded from the clock.
    SeededRandom()
        : engine_(
              static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}
    explicit SeededRandom(uint32_t seed) : engine_(seed) {}
    void seed(uint32_t seed) { engine_.seed(seed); }
    int uniform(int lo, int hi) override {
        return std::uniform_int_distribution<int>(lo, hi)(engine_);
    }

  private:
    std::mt19937 engine_;
};

enum class TuneComplexity { Simple, Medium, Complex, Hyper };

struct TuneOptions {
    static constexpr int kMinLength = 5, kMaxLength = 32;
    int clef = 0;  // 0 treble, 1 bass
    int length = kMaxLength;
    TuneComplexity complexity = TuneComplexity::Complex;
};

// Masks over note numbers: note n is bit 31 - (n mod 32). 0..4 fixed, 5 empty,
// 6..9 drawn: an intersection, a union and a symmetric difference of two of
// 0..5, and a union of two of 0..8.
using TuneMasks = std::array<uint64_t, 10>;
TuneMasks DrawTuneMasks(RandomSource& random);
// The highest weight index K: 3, 5, 7 or 9.
int TuneTerms(TuneComplexity complexity);
// The stave position of note n: base plus every weight whose mask holds n.
int TunePitch(const TuneMasks& masks, const int* weights, int terms, int n, int base);

// Writes the tune into stave s, which must hold no object: clef, key
// signature and as many of the notes as end at or before the stave's right
// end, the last one written closing its beam group. The draws are made even
// when nothing fits. Returns the number of notes written; with none, the
// stave is left empty.
int RandomTune(Score& score, int s, const TuneOptions& options, RandomSource& random);

}  // namespace sw
