// The module instance of native builds: a StatsModule over fake platform
// parts, which a test can replace to start as from a fresh load.
#pragma once

#include "plugin/module_instance.h"
#include "tests/support/fake_platform.h"

namespace stats::testing {

// The fakes the current instance uses.
FakePlatform& TheFakePlatform();

// Destroys the instance and builds a new one over new fakes, as an unload
// and load of the DLL would.
void ReloadModule();

} // namespace stats::testing
