#pragma once

// The one QApplication of the process, made when a user32 call first needs it: the program's
// entry point is a plain main that knows nothing of Qt.

#include <QApplication>

namespace platform::qt {

// Creates the application on the first call: the classic Windows style, which the dialog
// templates are drawn for, and the dialog font as the application's font. It lives until the
// process exits.
QApplication& application();

// Whether the application exists yet; calls that only look at windows need none.
bool applicationExists();

} // namespace platform::qt
