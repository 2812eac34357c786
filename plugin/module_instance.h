// The one module instance the exports work on. The DLL builds it at load
// over the Win32 platform; native builds supply their own over fakes.
#pragma once

#include "plugin/stats_module.h"

namespace stats {

StatsModule& TheModule();

} // namespace stats
