#include "journal/reviewscheduler.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace wordlark {

namespace {

constexpr qint64 DayMs = 86'400'000;
constexpr double MinStability = 0.001;
constexpr double MaxStability = 36500;

// The default weights of FSRS-6, w0 to w20; w20 is the decay of the forgetting curve.
constexpr std::array<double, 21> W = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                      0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                      1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

// The reference rounds every intermediate result to 8 decimals (half up); doing the same keeps the
// stored numbers equal to its numbers, not just close.
double round8(double value)
{
    return std::floor(value * 1e8 + 0.5) / 1e8;
}

double clampTo(double value, double low, double high)
{
    return std::min(std::max(value, low), high);
}

constexpr double Decay = -W[20];

double curveFactor()
{
    return round8(std::pow(0.9, 1.0 / Decay) - 1);
}

double intervalModifier()
{
    static const double modifier =
        round8((std::pow(ReviewScheduler::DesiredRetention, 1.0 / Decay) - 1) / curveFactor());
    return modifier;
}

// Grades as the model numbers them: 1 Again, 2 Hard, 3 Good, 4 Easy. The quiz only gives Again and Good,
// but the model derives the Good interval from the Hard one, so all four are computed.
double initialStability(int grade)
{
    return std::max(W[size_t(grade - 1)], 0.1);
}

double initialDifficulty(int grade)
{
    return round8(W[4] - std::exp((grade - 1) * W[5]) + 1);
}

double nextDifficulty(double difficulty, int grade)
{
    const double delta = -W[6] * (grade - 3);
    const double damped = difficulty + round8(delta * (10 - difficulty) / 9);
    const double reverted = round8(W[7] * initialDifficulty(4) + (1 - W[7]) * damped);
    return clampTo(reverted, 1, 10);
}

double recallStability(double d, double s, double r, int grade)
{
    const double hardPenalty = grade == 2 ? W[15] : 1;
    const double easyBonus = grade == 4 ? W[16] : 1;
    const double grown = s * (1 + std::exp(W[8]) * (11 - d) * std::pow(s, -W[9]) *
                                      (std::exp((1 - r) * W[10]) - 1) * hardPenalty * easyBonus);
    return round8(clampTo(grown, MinStability, MaxStability));
}

double forgetStability(double d, double s, double r)
{
    const double afterFail =
        round8(clampTo(W[11] * std::pow(d, -W[12]) * (std::pow(s + 1, W[13]) - 1) * std::exp((1 - r) * W[14]),
                       MinStability, MaxStability));
    // Forgetting never raises the stability.
    return clampTo(round8(s), MinStability, afterFail);
}

struct Next {
    double stability = 0;
    double difficulty = 0;
};

Next nextState(const WordMemory &before, double r, int grade)
{
    if (!before.met())
        return {initialStability(grade), clampTo(initialDifficulty(grade), 1, 10)};
    const double s = before.stability;
    const double d = before.difficulty;
    return {grade == 1 ? forgetStability(d, s, r) : recallStability(d, s, r, grade),
            nextDifficulty(d, grade)};
}

int intervalDays(double stability)
{
    const double days = std::floor(stability * intervalModifier() + 0.5);
    return int(std::min(std::max(1.0, days), double(ReviewScheduler::MaximumIntervalDays)));
}

} // namespace

int ReviewScheduler::calendarDaysBetween(qint64 fromMs, qint64 toMs)
{
    const auto day = [](qint64 ms) { return ms >= 0 ? ms / DayMs : -((-ms + DayMs - 1) / DayMs); };
    return int(day(toMs) - day(fromMs));
}

double ReviewScheduler::retrievability(double elapsedDays, double stability)
{
    return round8(std::pow(1 + curveFactor() * elapsedDays / stability, Decay));
}

WordMemory ReviewScheduler::review(const WordMemory &before, ReviewGrade grade, qint64 nowMs)
{
    const int elapsed = before.met() ? std::max(0, calendarDaysBetween(before.lastReviewMs, nowMs)) : 0;
    const double r = before.met() ? retrievability(elapsed, before.stability) : 1;

    std::array<Next, 4> next;
    std::array<int, 4> interval{};
    for (int g = 1; g <= 4; ++g) {
        next[size_t(g - 1)] = nextState(before, r, g);
        interval[size_t(g - 1)] = intervalDays(next[size_t(g - 1)].stability);
    }
    // The grades' intervals are kept in order, each at least a day longer than the one below.
    interval[0] = std::min(interval[0], interval[1]);
    interval[1] = std::max(interval[1], interval[0] + 1);
    interval[2] = std::max(interval[2], interval[1] + 1);
    interval[3] = std::max(interval[3], interval[2] + 1);

    const size_t chosen = size_t(int(grade) - 1);
    WordMemory after = before;
    after.stability = next[chosen].stability;
    after.difficulty = next[chosen].difficulty;
    after.scheduledDays = interval[chosen];
    after.dueMs = nowMs + qint64(interval[chosen]) * DayMs;
    after.lastReviewMs = nowMs;
    if (grade == ReviewGrade::Again && before.met())
        ++after.lapses;
    ++after.repetitions;
    return after;
}

} // namespace wordlark
