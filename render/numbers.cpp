#include "render/numbers.h"
