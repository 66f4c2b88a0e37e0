#pragma once

// Paint contexts: BeginPaint inside a dialog's routed paint event draws on the widget through a
// QPainter; anywhere else the update region is empty and drawing reaches nothing.

#include "platform/win32_api.h"

class QPainter;
class QWidget;

namespace platform::qt {

// Marks `widget` as being painted by Qt for the length of the object: BeginPaint on its window
// may draw then.
class tRoutedPaint {
public:
    explicit tRoutedPaint(QWidget* widget);
    ~tRoutedPaint();
    tRoutedPaint(const tRoutedPaint&) = delete;
    tRoutedPaint& operator=(const tRoutedPaint&) = delete;

private:
    QWidget* previous;
};

// The painter of a paint context; null for an unknown context or one that draws nowhere.
// `known` tells the two apart.
QPainter* painterOf(HDC dc, bool& known);

} // namespace platform::qt
