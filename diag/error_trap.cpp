#include "diag/error_trap.h"
