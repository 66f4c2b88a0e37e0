#include "platform/simulated/simulated_platform.h"

#include <stdexcept>

namespace sim {

namespace {
tSimulatedPlatform* installed = nullptr;
}

tSimulatedPlatform* current() {
    return installed;
}

tSimulatedPlatform::tSimulatedPlatform(tInventory inventory) : devices(std::move(inventory)) {
    if (installed)
        throw std::logic_error("a simulated platform is already installed");
    installed = this;
    // The first of several devices with one path answers, as a lookup in order would.
    for (std::size_t i = 0; i < devices.disks.size(); ++i)
        diskByPath.emplace(devices.disks[i].devicePath, i);
    for (std::size_t i = 0; i < devices.volumes.size(); ++i)
        volumeByPath.emplace(devices.volumes[i].devicePath, i);
    previousHook = platform::setCallHook(this);
}

tSimulatedPlatform::~tSimulatedPlatform() {
    platform::setCallHook(previousHook);
    installed = nullptr;
}

const tSimDisk* tSimulatedPlatform::diskAt(const std::string& path) const {
    auto found = diskByPath.find(path);
    return found == diskByPath.end() ? nullptr : &devices.disks[found->second];
}

const tSimVolume* tSimulatedPlatform::volumeAt(const std::string& path) const {
    auto found = volumeByPath.find(path);
    return found == volumeByPath.end() ? nullptr : &devices.volumes[found->second];
}

void tSimulatedPlatform::failCall(const std::string& operation, int nth, DWORD code) {
    faults[operation][nth] = code;
}

void tSimulatedPlatform::clearFaults() {
    faults.clear();
}

void tSimulatedPlatform::clearLog() {
    log.clear();
}

int tSimulatedPlatform::callCount(const std::string& operation) const {
    auto found = counts.find(operation);
    return found == counts.end() ? 0 : found->second;
}

DWORD tSimulatedPlatform::onCall(const char* operation, const std::string& detail) {
    int n = ++counts[operation];
    if (logging)
        log.push_back(std::string(operation) + "(" + detail + ")");
    auto planned = faults.find(operation);
    if (planned == faults.end())
        return 0;
    auto fault = planned->second.find(n);
    return fault == planned->second.end() ? 0 : fault->second;
}

} // namespace sim
