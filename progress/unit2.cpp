#include "progress/unit2.h"
