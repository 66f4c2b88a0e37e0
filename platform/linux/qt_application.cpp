#include "platform/linux/qt_application.h"

#include "platform/linux/module_path.h"
#include "platform/linux/qt_dialog_units.h"

#include <QStyleFactory>

#include <string>

namespace platform::qt {

namespace {

// QApplication keeps references to argc and argv for its whole life.
struct tArguments {
    int argc = 1;
    std::string name;
    char* argv[2] = {nullptr, nullptr};
};

} // namespace

QApplication& application() {
    static tArguments arguments;
    // Never destroyed: the program's main knows nothing of Qt, so the only later moment would be
    // among the static destructors, when Qt's own global objects are already gone. The process's
    // exit closes the connection to the display.
    static QApplication* instance = nullptr;
    if (instance)
        return *instance;

    // The program's own path names the application (the window class on X11, for one).
    DWORD error = 0;
    if (!modulePath(arguments.name, error))
        arguments.name = "bootdisk";
    arguments.argv[0] = arguments.name.data();
    instance = new QApplication(arguments.argc, arguments.argv);

    // Dialogs end through their own procedures, never because a window closed.
    QApplication::setQuitOnLastWindowClosed(false);
    if (QStyle* classic = QStyleFactory::create("Windows"))
        QApplication::setStyle(classic);
    // Message boxes in the dialogs' font, as the classic desktop shows them.
    QApplication::setFont(dialogFont(shellDialogFace, 8, 0, false));
    return *instance;
}

bool applicationExists() {
    return QCoreApplication::instance() != nullptr;
}

} // namespace platform::qt
