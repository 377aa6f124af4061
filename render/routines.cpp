#include "render/routines.h"
