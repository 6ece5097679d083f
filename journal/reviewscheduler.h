#pragma once

#include <QtGlobal>

namespace wordlark {

// What the journal remembers of one word between showings: the memory model's stability (days until
// the chance of recall falls to 90%) and difficulty (1 to 10), when it is due again, and its history.
// A word never shown has repetitions 0 and is never due.
struct WordMemory {
    double stability = 0;
    double difficulty = 0;
    qint64 dueMs = 0;
    qint64 lastReviewMs = 0;
    int repetitions = 0;
    int lapses = 0;
    int scheduledDays = 0;

    bool met() const { return repetitions > 0; }
    friend bool operator==(const WordMemory &, const WordMemory &) = default;
};

// How a showing went: each showing of a word is one review, graded by the learner's first answer.
enum class ReviewGrade { Again = 1, Good = 3 };

// Spaced repetition by the FSRS memory model (version 6) with its published default weights, aiming at a
// 90% chance of recall when a word comes due. Long-term scheduling only: there are no learning steps of
// minutes, because the quiz shows a word once per review; a second showing on the same calendar day
// counts as a review with nothing forgotten, so it moves the difficulty but not the stability. Days are
// UTC calendar days, intervals whole days, with no random spread.
class ReviewScheduler final {
public:
    static constexpr double DesiredRetention = 0.9;
    static constexpr int MaximumIntervalDays = 36500;

    // The word's state after a review at `nowMs` (ms since the epoch, UTC).
    static WordMemory review(const WordMemory &before, ReviewGrade grade, qint64 nowMs);
    // The chance of recall `elapsedDays` after a review that left `stability`.
    static double retrievability(double elapsedDays, double stability);
    // Whole UTC calendar days from one moment to a later one.
    static int calendarDaysBetween(qint64 fromMs, qint64 toMs);
};

} // namespace wordlark
