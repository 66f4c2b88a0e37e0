#include "app/bootdisk_dialog.h"

#include "resources/resource.h"
#include "writer/formatter_run.h"

BEGIN_MESSAGE_MAP(tBootDiskDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_CBN_SELCHANGE(IDC_DISK_COMBO, &tBootDiskDialog::OnSelchangeDiskCombo)
ON_BN_CLICKED(IDOK, &tBootDiskDialog::OnMakeBootable)
END_MESSAGE_MAP()

tBootDiskDialog::tBootDiskDialog() : CDialog(IDD_BOOTDISK_DIALOG, nullptr) {
    icon = AfxGetApp()->LoadIcon(IDI_BOOTDISK);
    // Whether discovery failed shows only as an empty list.
    buildUsbDiskList(diskList);
}

tBootDiskDialog::~tBootDiskDialog() = default;

void tBootDiskDialog::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DISK_COMBO, diskCombo);
    DDX_Control(pDX, IDC_PROGRESS, progressBar);
    DDX_Control(pDX, IDC_STATUS, statusText);
}

BOOL tBootDiskDialog::OnInitDialog() {
    CDialog::OnInitDialog();

    progressBar.SetRange(1, 1000);
    progressBar.SetStep(10);

    // Inserted by index: the combo box sorts what is added, and item i must stay entry i.
    for (std::size_t i = 0; i < diskList.size(); ++i)
        diskCombo.InsertString(static_cast<int>(i), diskList[i].label.c_str());

    if (!diskList.empty()) {
        diskCombo.SetCurSel(0);
        selectTarget(diskList[0]);
    }
    return TRUE;
}

void tBootDiskDialog::OnSysCommand(UINT id, LPARAM lParam) {
    CDialog::OnSysCommand(id, lParam);
}

void tBootDiskDialog::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, icon);
}

HCURSOR tBootDiskDialog::OnQueryDragIcon() {
    return static_cast<HCURSOR>(icon);
}

void tBootDiskDialog::OnSelchangeDiskCombo() {
    int index = diskCombo.GetCurSel();
    if (index < 0 || static_cast<std::size_t>(index) >= diskList.size())
        return;
    selectTarget(diskList[static_cast<std::size_t>(index)]);
}

void tBootDiskDialog::OnMakeBootable() {
    if (diskList.empty()) {
        AfxMessageBox("No USB flash drives selected.  Please insert a USB flash disk, and restart "
                      "this application.",
                      MB_OK);
        return;
    }
    CString label;
    int index = diskCombo.GetCurSel();
    if (index >= 0 && static_cast<std::size_t>(index) < diskList.size())
        label = diskList[static_cast<std::size_t>(index)].label;
    CString confirmation =
        CString("WARNING: Existing data on drive:\n\n") + label + "\n\nwill be erased.  Proceed?";
    if (AfxMessageBox(confirmation, MB_OKCANCEL) == IDOK)
        runFormatter(*this, targetPath);
}

void tBootDiskDialog::selectTarget(const tUsbDiskEntry& entry) {
    // Disk numbers are unsigned: on Linux they are counters that may pass 2^31.
    targetPath.Format("\\\\.\\PhysicalDrive%u", static_cast<unsigned>(entry.diskNumber));
}
