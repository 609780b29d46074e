#include "core/runtime_rules.h"
