#include "game/ball.h"
