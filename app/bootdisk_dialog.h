#pragma once

#include "discovery/usb_disk_list.h"
#include "platform/framework/framework.h"

#include <vector>

// The main dialog: the USB flash disks to choose from, and the Make Bootable command.
class tBootDiskDialog : public CDialog {
public:
    tBootDiskDialog();
    ~tBootDiskDialog() override;

    // "\\.\PhysicalDriveN" of the selected disk; what a Make Bootable command formats.
    CString targetPath;
    HICON icon;
    std::vector<tUsbDiskEntry> diskList; // in combo-box order
    CComboBox diskCombo;
    CProgressCtrl progressBar;
    CStatic statusText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSelchangeDiskCombo();
    void OnMakeBootable();

    DECLARE_MESSAGE_MAP()

private:
    void selectTarget(const tUsbDiskEntry& entry);
};
