#include "ui/unitabout.h"
