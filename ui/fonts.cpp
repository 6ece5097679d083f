#include "ui/fonts.h"
