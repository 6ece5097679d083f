#include "app/mainunit.h"
