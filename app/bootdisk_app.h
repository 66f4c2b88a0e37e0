#pragma once

#include "platform/framework/framework.h"

// The application's name: the caption of the dialog and of every message box.
inline constexpr char applicationName[] = "Create Tavor Embedded Controller USB Utility Disk";

class tBootDiskApp : public CWinApp {
public:
    tBootDiskApp();
    ~tBootDiskApp() override;
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern tBootDiskApp theApp;
