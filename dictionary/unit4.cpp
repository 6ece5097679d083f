#include "dictionary/unit4.h"
