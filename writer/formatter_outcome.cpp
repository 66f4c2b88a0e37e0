#include "writer/formatter_outcome.h"

#include <cstring>

namespace {

struct tKnownError {
    const char* prefix; // compared over its own length, trailing blank included
    tFormatResult result;
};

// In the order they are tried.
const tKnownError knownErrors[] = {
    {"Could not find the device ", formatDeviceNotFound},
    {"You must have administrator access ", formatNeedsAdministrator},
    {"The volume is busy.", formatVolumeBusy},
    {"Could not write to the device because it is write protected.", formatWriteProtected},
    {"Error 0 restarting the device.", formatRestartErrorZero},
};

} // namespace

tFormatResult classifyFormatterOutput(const char* capturedText) {
    for (const tKnownError& known : knownErrors)
        if (strncmp(capturedText, known.prefix, strlen(known.prefix)) == 0)
            return known.result;
    return formatFailedOther;
}

tFormatResult reportFormatterOutcome(bool exitStatusRead, DWORD exitStatus,
                                     const char* capturedText, CStatic& statusText) {
    if (!exitStatusRead)
        return formatRunFailed;
    if (exitStatus == 0)
        return formatSucceeded;
    tFormatResult result = classifyFormatterOutput(capturedText);
    if (result == formatRestartErrorZero)
        return result;
    AfxMessageBox(CString("Internal Error: ") + capturedText, MB_OK, 0);
    statusText.SetWindowText("ERROR: Format failed.");
    return result;
}
