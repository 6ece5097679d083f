#include "progress/unitfuxi.h"
