#include "ui/unitthems.h"
