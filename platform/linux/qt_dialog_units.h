#pragma once

// Dialog fonts and dialog units: how a template's measures become pixels on the Qt desktop.

#include "platform/win32_api.h"

#include <QFont>
#include <QRect>

#include <string>

namespace platform::qt {

// The face that dialog templates name for the desktop's standard dialog font.
inline constexpr char shellDialogFace[] = "MS Shell Dlg";

// The sans font that stands in for the desktop's dialog faces ("MS Shell Dlg" and the faces it
// maps to); metric-compatible with the sans that dialogs were laid out in.
inline constexpr char dialogSansFamily[] = "Liberation Sans";

// The font a template asks for: `pointSize` at the screen's logical resolution, rounded to whole
// pixels as the desktop does, `weight` on the 0 to 1000 scale (0: normal).
QFont dialogFont(const std::string& typeface, int pointSize, int weight, bool italic);

// The dialog base units of a font: horizontally the average width of the letters A to Z and
// a to z, rounded as the desktop rounds it; vertically the height of the font.
struct tBaseUnits {
    int x = 0;
    int y = 0;
};
tBaseUnits baseUnits(const QFont& font);

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0.
int mulDiv(int number, int numerator, int denominator);

// A rectangle in dialog units, in pixels: every value converted on its own.
QRect dialogUnitsToPixels(int x, int y, int cx, int cy, tBaseUnits units);

} // namespace platform::qt
