#pragma once

#include "platform/framework/framework.h"
#include "writer/format_result.h"

class tBootDiskDialog;

// Runs the formatter against `targetPath` ("\\.\PhysicalDriveN") from the usbfiles folder beside
// the program, stepping the dialog's progress bar while it runs, and reports its outcome.
// A tool that cannot be started gives formatRunFailed and leaves the dialog as it was.
tFormatResult runFormatter(tBootDiskDialog& dialog, CString targetPath);
