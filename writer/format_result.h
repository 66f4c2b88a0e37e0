#pragma once

// The result code of a formatter run.
using tFormatResult = int;

inline constexpr tFormatResult formatSucceeded = 0;      // the tool ended with status 0
inline constexpr tFormatResult formatRunFailed = 1;      // not started, or no readable status
inline constexpr tFormatResult formatFailedOther = 2;    // failed; its error text not recognised
inline constexpr tFormatResult formatDeviceNotFound = 3; // failed: the device was not found
inline constexpr tFormatResult formatNeedsAdministrator = 4; // failed: needs administrator rights
inline constexpr tFormatResult formatVolumeBusy = 5;         // failed: the volume is in use
inline constexpr tFormatResult formatWriteProtected = 6;     // failed: the disk is write-protected
inline constexpr tFormatResult formatRestartErrorZero = 7;   // "Error 0 restarting": no failure
