#include "game/random.h"
