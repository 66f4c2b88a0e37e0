#pragma once

#include "platform/framework/framework.h"
#include "writer/format_result.h"

// What the formatter's error text says: one of the recognised failures (3 to 7), or
// formatFailedOther. Only the very start of the text counts.
tFormatResult classifyFormatterOutput(const char* capturedText);

// Turns the end of a run into its result: a failure is reported in a message box quoting the
// captured text, and the status text then says so.
tFormatResult reportFormatterOutcome(bool exitStatusRead, DWORD exitStatus,
                                     const char* capturedText, CStatic& statusText);
