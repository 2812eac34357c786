// The exports' signatures as C++ functions under their full names. Compiled
// for the MSVC target only to read the names it decorates them with; never
// linked into anything.
#include "plugin/export_list.h"

#define STATS_DEFINE_FULL_NAME(result, plain, full, params)                                        \
    result full params { __builtin_unreachable(); }
STATS_EXPORT_LIST(STATS_DEFINE_FULL_NAME)
