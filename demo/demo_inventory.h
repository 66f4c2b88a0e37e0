#pragma once

// The demo's machine: a system disk and two virtual USB sticks, each stick a sparse image file
// in the user's state folder, which the real formatter writes.

#include "platform/simulated/inventory.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace demo {

inline constexpr std::uintmax_t stickImageSize = 64u << 20;

// $XDG_STATE_HOME/bootdisk-demo, or ~/.local/state/bootdisk-demo.
std::filesystem::path stateDirectory();

// The inventory with the sticks' images in `directory`.
sim::tInventory inventory(const std::filesystem::path& directory);

// Makes the folder and every missing stick image (64 MiB, sparse); an image of another size is
// set to 64 MiB. False, with the reason in `error`, when that fails.
bool prepareImages(const sim::tInventory& devices, std::string& error);

} // namespace demo
