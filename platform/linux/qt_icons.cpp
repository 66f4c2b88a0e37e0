// Icons from the program's resources, drawn with Qt.

#include "platform/linux/call_hook.h"
#include "platform/linux/icon_group.h"
#include "platform/linux/module.h"
#include "platform/linux/qt_icons.h"
#include "platform/linux/qt_application.h"
#include "platform/linux/qt_paint.h"

#include <QBuffer>
#include <QIcon>
#include <QImageReader>
#include <QPainter>

#include <map>
#include <string>

namespace {

constexpr DWORD errorInvalidIconHandle = 1402; // ERROR_INVALID_CURSOR_HANDLE
constexpr int iconSize = 32;                   // SM_CXICON, SM_CYICON

struct tIcons {
    std::map<std::string, HICON> byResource; // one shared handle per resource
    std::map<HICON, QIcon> icons;
    ULONG_PTR nextHandle = 0x60000;
};

tIcons& icons() {
    static tIcons instance;
    return instance;
}

std::string resourceKey(HINSTANCE instance, LPCSTR name) {
    // Null and the program's handle name the same module.
    std::string module = platform::isOwnModule(instance)
                             ? std::string("own")
                             : std::to_string(reinterpret_cast<ULONG_PTR>(instance));
    if (IS_INTRESOURCE(name))
        return module + "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return module + ":" + name;
}

// Every size of the group once, each in its richest colour depth.
bool readIcon(HINSTANCE instance, LPCSTR name, QIcon& icon) {
    std::vector<platform::tIconGroupEntry> entries;
    std::vector<BYTE> file;
    if (!platform::loadIconGroup(instance, name, entries) ||
        !platform::buildIconFile(instance, name, file))
        return false;
    std::map<std::pair<int, int>, std::size_t> richest;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto size = std::make_pair(entries[i].width, entries[i].height);
        auto found = richest.find(size);
        if (found == richest.end() || entries[found->second].bitCount < entries[i].bitCount)
            richest[size] = i;
    }
    QByteArray bytes(reinterpret_cast<const char*>(file.data()), static_cast<int>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    for (const auto& [size, index] : richest) {
        if (!reader.jumpToImage(static_cast<int>(index)))
            continue;
        QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull()) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

} // namespace

namespace platform::qt {

bool iconOf(HICON icon, QIcon& out) {
    auto found = icons().icons.find(icon);
    if (found == icons().icons.end())
        return false;
    out = found->second;
    return true;
}

} // namespace platform::qt

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName) {
    if (DWORD code = platform::enterCall("LoadIconA")) {
        SetLastError(code);
        return nullptr;
    }
    tIcons& all = icons();
    std::string key = resourceKey(instance, iconName);
    auto known = all.byResource.find(key);
    if (known != all.byResource.end())
        return known->second;

    platform::qt::application();
    QIcon icon;
    if (!readIcon(instance, iconName, icon))
        return nullptr;
    auto handle = reinterpret_cast<HICON>(all.nextHandle);
    all.nextHandle += 4;
    all.icons.emplace(handle, icon);
    all.byResource.emplace(key, handle);
    // The program's first icon is its own, as the desktop shows an executable's first icon:
    // every window of the program carries it.
    if (platform::isOwnModule(instance) && QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(icon);
    return handle;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    if (DWORD code = platform::enterCall("DrawIcon")) {
        SetLastError(code);
        return FALSE;
    }
    auto found = icons().icons.find(icon);
    if (found == icons().icons.end()) {
        SetLastError(errorInvalidIconHandle);
        return FALSE;
    }
    bool known = false;
    QPainter* painter = platform::qt::painterOf(dc, known);
    if (!known) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Outside a paint event nothing needs painting: the drawing is clipped away.
    if (painter)
        painter->drawPixmap(QRect(x, y, iconSize, iconSize),
                            found->second.pixmap(QSize(iconSize, iconSize)));
    return TRUE;
}
