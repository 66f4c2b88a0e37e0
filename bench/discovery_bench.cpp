// Building the USB flash disk list on large simulated machines: time per device, and how many
// heap blocks a run allocates (HeapAlloc) and regrows (HeapReAlloc).

#include "discovery/usb_disk_list.h"
#include "platform/linux/heap.h"
#include "platform/simulated/simulated_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

// Fixed-width numbers keep every path and name the same length, as on a real machine where
// they differ by a few characters at most.
std::string padded(unsigned n) {
    char text[16];
    snprintf(text, sizeof text, "%06u", n);
    return text;
}

sim::tInventory machineWith(unsigned diskCount) {
    sim::tInventory inventory;
    for (unsigned d = 0; d < diskCount; ++d) {
        sim::tSimDisk disk;
        disk.devicePath = "\\\\?\\usbstor#disk&ven_generic&prod_flash_disk#" + padded(d) +
                          "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
        disk.friendlyName = "Generic Flash Disk USB Device " + padded(d);
        disk.deviceNumber = d;
        inventory.disks.push_back(disk);
        for (unsigned v = 0; v < 4; ++v) {
            sim::tSimVolume volume;
            std::string tag = padded(d) + "-" + padded(v);
            volume.devicePath =
                "\\\\?\\STORAGE#Volume#" + tag + "#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
            volume.volumeName = "\\\\?\\Volume{" + tag + "}\\";
            volume.friendlyName = "Partition " + padded(v);
            volume.extents = {d};
            volume.deviceNumber = d;
            unsigned index = d * 4 + v;
            if (index < 24)
                volume.driveLetters = std::string(1, char('C' + index));
            inventory.volumes.push_back(volume);
        }
    }
    return inventory;
}

void BM_BuildUsbDiskList(benchmark::State& state) {
    const unsigned disks = static_cast<unsigned>(state.range(0));
    sim::tSimulatedPlatform platform(machineWith(disks));
    platform.setLogging(false);

    std::size_t allocs = platform::heapAllocCount();
    std::size_t reallocs = platform::heapReAllocCount();
    for (auto _ : state) {
        std::vector<tUsbDiskEntry> list;
        HRESULT result = buildUsbDiskList(list);
        if (result != S_OK || list.size() != disks)
            state.SkipWithError("the list is wrong");
        benchmark::DoNotOptimize(list.data());
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["devices"] = disks * 5;
    state.counters["time_per_device"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * disks * 5,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["HeapAlloc_per_run"] = (platform::heapAllocCount() - allocs) / runs;
    state.counters["HeapReAlloc_per_run"] = (platform::heapReAllocCount() - reallocs) / runs;
}

BENCHMARK(BM_BuildUsbDiskList)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
