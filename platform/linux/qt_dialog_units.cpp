#include "platform/linux/qt_dialog_units.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <cstdint>
#include <strings.h>

namespace platform::qt {

namespace {

bool isShellFace(const std::string& typeface) {
    static const char* const faces[] = {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif",
                                        "Microsoft Sans Serif", "Tahoma"};
    for (const char* face : faces)
        if (strcasecmp(typeface.c_str(), face) == 0)
            return true;
    return false;
}

int logicalDpi() {
    QScreen* screen = QGuiApplication::primaryScreen();
    int dpi = screen ? static_cast<int>(screen->logicalDotsPerInchY() + 0.5) : 96;
    return dpi > 0 ? dpi : 96;
}

} // namespace

QFont dialogFont(const std::string& typeface, int pointSize, int weight, bool italic) {
    QFont font(isShellFace(typeface) ? QString(dialogSansFamily)
                                     : QString::fromStdString(typeface));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(mulDiv(pointSize > 0 ? pointSize : 8, logicalDpi(), 72));
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(weight < 1000 ? weight : 1000));
    font.setItalic(italic);
    return font;
}

tBaseUnits baseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return tBaseUnits{(width / 26 + 1) / 2, metrics.height()};
}

int mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t half = (denominator < 0 ? -denominator : denominator) / 2;
    bool negative = (product < 0) != (denominator < 0);
    std::int64_t magnitude = (product < 0 ? -product : product) + half;
    std::int64_t quotient = magnitude / (denominator < 0 ? -denominator : denominator);
    return static_cast<int>(negative ? -quotient : quotient);
}

QRect dialogUnitsToPixels(int x, int y, int cx, int cy, tBaseUnits units) {
    return QRect(mulDiv(x, units.x, 4), mulDiv(y, units.y, 8), mulDiv(cx, units.x, 4),
                 mulDiv(cy, units.y, 8));
}

} // namespace platform::qt
