#include "game/level.h"
