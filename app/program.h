#pragma once

// Creates the program's nine windows in their fixed order, shows the splash window and starts its timer,
// which loads the dictionary once the event loop runs.
void createProgramWindows();

namespace wordlark {
class JournalKeeper;
}
// The running program's learning journal, on or off; null before the windows exist.
wordlark::JournalKeeper *programJournal();
