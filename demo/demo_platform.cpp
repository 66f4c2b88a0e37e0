// The demo's devices: the simulated inventory serves the program's device calls from before
// it starts discovery until it exits.

#include "demo/demo_inventory.h"
#include "platform/simulated/simulated_platform.h"

#include <cstdio>

namespace {

class tDemoMachine {
public:
    tDemoMachine() : platform(demo::inventory(demo::stateDirectory())) {
        // The demo runs for as long as the user likes; the call log would only grow.
        platform.setLogging(false);
        std::string error;
        if (!demo::prepareImages(platform.inventory(), error))
            // The sticks are still listed; formatting one reports the formatter's own error.
            fprintf(stderr, "bootdisk-demo: cannot make the stick images: %s\n", error.c_str());
    }

private:
    sim::tSimulatedPlatform platform;
};

tDemoMachine machine;

} // namespace
