#pragma once

namespace wordlark {

// One answer the learner gave to the shown question, as the program's state judged it.
struct Answer {
    // The asked word.
    int word = -1;
    // The answer box clicked, 1..12; NoBox (0) for a typed answer.
    int box = 0;
    bool right = false;
    bool typed = false;
    // No answer was given to this showing of the word before this one.
    bool first = true;
    // An answer of a writing pass: the word written stroke by stroke (right), or the showing missed.
    bool written = false;
};

} // namespace wordlark
