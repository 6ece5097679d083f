#pragma once

#include <chrono>

namespace wordlark {
class Trainer;
}

// Creates the program's state, the screen's look and the eleven windows in their fixed order, shows the
// splash window and starts its timer, which loads the dictionary once the event loop runs.
void createProgramWindows();

// How long the splash shows its picture before the dictionary loads: a second, so that the learner sees
// it. Tests that start the program many times shorten it; it applies to the next createProgramWindows().
void setSplashDelay(std::chrono::milliseconds delay);

// The running program's state, for tests and benchmarks that drive the program; null when none runs.
wordlark::Trainer *runningTrainer();

namespace wordlark {
class ScreenLook;
}
// The running program's look: the quiz screen's colours and fonts; null when no program runs.
wordlark::ScreenLook *runningLook();

namespace wordlark {
class JournalKeeper;
}
// The running program's learning journal, on or off; null when no program runs.
wordlark::JournalKeeper *programJournal();
