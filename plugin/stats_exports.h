// The C entry points of Stats.dll: cdecl, arguments as the host passes them.
#pragma once

#include "plugin/export_list.h"

#define STATS_DECLARE_EXPORT(result, plain, full, params) result plain params;
extern "C" {
STATS_EXPORT_LIST(STATS_DECLARE_EXPORT)
}
#undef STATS_DECLARE_EXPORT
