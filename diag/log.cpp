#include "diag/log.h"
