#pragma once

#include <QRandomGenerator>

#include <random>

namespace wordlark {

// A source of uniform random integers, so that tests can draw from a seeded generator.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniformly drawn integer in 0..bound-1; bound > 0.
    virtual int below(int bound) = 0;
};

// The program's own draws.
class SystemRandom final : public RandomSource {
public:
    int below(int bound) override { return QRandomGenerator::global()->bounded(bound); }
};

// A reproducible generator, for tests and benchmarks that must draw the same words on every run.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(unsigned seed)
        : m_engine(seed)
    {
    }
    int below(int bound) override { return std::uniform_int_distribution<int>(0, bound - 1)(m_engine); }

private:
    std::mt19937 m_engine;
};

} // namespace wordlark
