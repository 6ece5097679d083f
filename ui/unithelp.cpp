#include "ui/unithelp.h"
