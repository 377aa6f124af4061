#include "render/entity.h"
