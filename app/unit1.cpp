#include "app/unit1.h"
