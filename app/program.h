#pragma once

// Creates the program's nine windows in their fixed order, shows the splash window and starts its timer,
// which loads the dictionary once the event loop runs.
void createProgramWindows();
