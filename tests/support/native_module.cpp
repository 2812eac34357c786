#include "tests/support/native_module.h"

#include <memory>

namespace stats::testing {
namespace {

struct NativeInstance {
    FakePlatform platform;
    StatsModule module{platform.Get()};
};

std::unique_ptr<NativeInstance>& Instance() {
    static std::unique_ptr<NativeInstance> instance = std::make_unique<NativeInstance>();
    return instance;
}

} // namespace

FakePlatform& TheFakePlatform() {
    return Instance()->platform;
}

void ReloadModule() {
    Instance().reset();
    Instance() = std::make_unique<NativeInstance>();
}

} // namespace stats::testing

namespace stats {

StatsModule& TheModule() {
    return testing::Instance()->module;
}

} // namespace stats
