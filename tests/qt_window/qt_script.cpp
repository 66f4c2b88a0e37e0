#include "qt_window/qt_script.h"

#include "platform/linux/qt_windows.h"

#include <QApplication>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

namespace qtfixtures {

tScript::tScript(std::chrono::milliseconds patienceAllowed) : patience(patienceAllowed) {
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
    waitingSince = std::chrono::steady_clock::now();
    timer.start();
}

tScript::~tScript() {
    timer.stop();
}

tScript& tScript::when(std::string what, std::function<bool()> ready, std::function<void()> act) {
    steps.push_back(tStep{std::move(what), std::move(ready), std::move(act)});
    return *this;
}

tScript& tScript::then(std::string what, std::function<void()> act) {
    return when(
        std::move(what), [] { return true; }, std::move(act));
}

void tScript::tick() {
    if (steps.empty())
        return;
    tStep& step = steps.front();
    if (!step.ready()) {
        if (std::chrono::steady_clock::now() - waitingSince < patience)
            return;
        ADD_FAILURE() << "the script waited in vain for: " << step.what;
        steps.clear();
        gaveUp = true;
        abandonModals();
        return;
    }
    tStep current = std::move(step);
    steps.pop_front();
    waitingSince = std::chrono::steady_clock::now();
    if (current.act)
        current.act();
}

QWidget* activeModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->isVisible() ? modal : nullptr;
}

QMessageBox* activeBox() {
    return qobject_cast<QMessageBox*>(activeModal());
}

QWidget* runningDialogWidget() {
    auto& dialogs = platform::qt::modalDialogs();
    if (dialogs.empty() || !dialogs.back()->widget || !dialogs.back()->widget->isVisible())
        return nullptr;
    return dialogs.back()->widget;
}

HWND runningDialog() {
    auto& dialogs = platform::qt::modalDialogs();
    return dialogs.empty() ? nullptr : dialogs.back()->handle;
}

QWidget* widgetOf(HWND handle) {
    platform::qt::tWindow* window = platform::qt::windowOf(handle);
    return window ? window->widget.data() : nullptr;
}

namespace {

QString keyText(int key) {
    switch (key) {
    case Qt::Key_Return:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QString(QChar(0x1b));
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Space:
        return QStringLiteral(" ");
    default:
        return QString();
    }
}

} // namespace

void pressKey(QWidget* window, int key, Qt::KeyboardModifiers modifiers) {
    QWindow* target = window ? window->window()->windowHandle() : nullptr;
    ASSERT_NE(target, nullptr) << "no window to type into";
    QString text = keyText(key);
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
        target, QEvent::KeyPress, key, modifiers, text);
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
        target, QEvent::KeyRelease, key, modifiers, text);
}

void click(QWidget* widget) {
    ASSERT_NE(widget, nullptr) << "nothing to click";
    QWindow* target = widget->window()->windowHandle();
    ASSERT_NE(target, nullptr);
    QPointF local = widget->mapTo(widget->window(), widget->rect().center());
    QPointF global = widget->mapToGlobal(widget->rect().center());
    using Interface = QWindowSystemInterface;
    Interface::handleMouseEvent<Interface::AsynchronousDelivery>(
        target, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    Interface::handleMouseEvent<Interface::AsynchronousDelivery>(
        target, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

void abandonModals() {
    for (int guard = 0; guard < 20; ++guard) {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->done(QMessageBox::Cancel);
            continue;
        }
        auto& dialogs = platform::qt::modalDialogs();
        bool ended = false;
        for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it)
            if (!(*it)->ended) {
                EndDialog((*it)->handle, IDCANCEL);
                ended = true;
                break;
            }
        if (!ended)
            return;
    }
}

} // namespace qtfixtures
