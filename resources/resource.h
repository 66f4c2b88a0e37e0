// Identifiers of the program's resources, shared by bootdisk.rc and the code that loads them.
#pragma once

#define IDD_BOOTDISK_DIALOG 102
#define IDI_BOOTDISK 128

#define IDC_DISK_COMBO 1001
#define IDC_PROGRESS 1003
#define IDC_STATUS 1004
