#include "ui/unit3.h"
