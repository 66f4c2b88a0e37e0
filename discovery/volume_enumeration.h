#pragma once

#include "discovery/owners.h"

#include <map>
#include <string>
#include <vector>

// One present volume.
struct tVolumeInfo {
    std::string friendlyName;
    std::string description;
    std::vector<DWORD> diskNumbers; // one per extent, in the platform's order
    char driveLetter = 0;           // 0 when no drive letter leads to the volume
};

// Volume name (as GetVolumeNameForVolumeMountPointA gives it) to drive letter.
using tDriveLetterMap = std::map<std::string, char>;

// Appends a record for every present volume interface, in the platform's order.
// Raises tWindowsError.
void enumerateVolumes(std::vector<tVolumeInfo>& volumes);

// Enters the volume behind every drive letter in use; a letter reached by the same volume
// as an earlier one wins. Raises tWindowsError.
void mapVolumeNamesToDriveLetters(tDriveLetterMap& letterMap);

// The volume name behind `mountPoint` (a path ending in a backslash). Raises tWindowsError.
void getVolumeNameForMountPoint(const char* mountPoint, std::string& volumeName);

// Appends the disk number of every extent of the volume at `volumePath`. Raises tWindowsError.
void getDiskExtents(const char* volumePath, std::vector<DWORD>& diskNumbers);
// The same with a caller's extents buffer, which is reused across volumes and grows only for a
// volume with more extents than any before it.
void getDiskExtents(const char* volumePath, std::vector<DWORD>& diskNumbers, tHeapBuffer& extents);
