#include "platform/linux/dialog_template.h"

#include "platform/linux/byte_reader.h"
#include "platform/linux/utf16.h"

namespace platform {

namespace {

constexpr WORD extendedVersion = 1;
constexpr WORD extendedSignature = 0xFFFF;
constexpr BYTE defaultCharset = 1;

// A field that holds nothing (0x0000), an ordinal (0xFFFF, n) or a NUL-terminated string.
struct tNameOrOrdinal {
    std::optional<WORD> ordinal;
    std::string text;
};

bool readNameOrOrdinal(tByteReader& reader, tNameOrOrdinal& field) {
    std::u16string text;
    if (!reader.readNameOrOrdinal(field.ordinal, text))
        return false;
    field.text = utf8FromUtf16(text);
    return true;
}

bool readString(tByteReader& reader, std::string& text) {
    std::u16string units;
    if (!reader.readString(units))
        return false;
    text = utf8FromUtf16(units);
    return true;
}

std::string ordinalName(WORD ordinal) {
    return "#" + std::to_string(ordinal);
}

std::string predefinedClassName(WORD atom) {
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    return atom >= 0x80 && atom <= 0x85 ? names[atom - 0x80] : ordinalName(atom);
}

// Class, text and creation data, common to both item layouts apart from the last.
bool readItemTail(tByteReader& reader, bool extended, tDialogItemTemplate& item) {
    tNameOrOrdinal windowClass, text;
    if (!readNameOrOrdinal(reader, windowClass) || !readNameOrOrdinal(reader, text))
        return false;
    if (windowClass.ordinal) {
        item.classAtom = *windowClass.ordinal;
        item.className = predefinedClassName(item.classAtom);
    } else {
        item.className = std::move(windowClass.text);
    }
    item.text = std::move(text.text);
    item.textOrdinal = text.ordinal;

    WORD count = 0;
    if (!reader.read(count))
        return false;
    std::size_t dataSize = count;
    if (!extended && count != 0) {
        // The plain layout counts the size word itself.
        if (count < sizeof(WORD))
            return false;
        dataSize = count - sizeof(WORD);
    }
    const BYTE* data = reader.here();
    if (!reader.skip(dataSize))
        return false;
    item.creationData.assign(data, data + dataSize);
    return true;
}

bool readExtendedItem(tByteReader& reader, tDialogItemTemplate& item) {
    return reader.read(item.helpId) && reader.read(item.exStyle) && reader.read(item.style) &&
           reader.read(item.x) && reader.read(item.y) && reader.read(item.cx) &&
           reader.read(item.cy) && reader.read(item.id) && readItemTail(reader, true, item);
}

bool readPlainItem(tByteReader& reader, tDialogItemTemplate& item) {
    WORD id = 0;
    if (!(reader.read(item.style) && reader.read(item.exStyle) && reader.read(item.x) &&
          reader.read(item.y) && reader.read(item.cx) && reader.read(item.cy) && reader.read(id)))
        return false;
    item.id = id;
    return readItemTail(reader, false, item);
}

} // namespace

bool parseDialogTemplate(const void* data, std::size_t size, tDialogTemplate& out) {
    tByteReader reader(data, size);
    tDialogTemplate dialog;

    WORD version = 0, signature = 0;
    if (!reader.read(version) || !reader.read(signature))
        return false;
    dialog.extended = signature == extendedSignature;
    WORD count = 0;
    if (dialog.extended) {
        if (version != extendedVersion)
            return false;
        if (!(reader.read(dialog.helpId) && reader.read(dialog.exStyle) &&
              reader.read(dialog.style)))
            return false;
    } else {
        // The plain layout starts with the style, whose two words were just read.
        reader.seek(0);
        if (!(reader.read(dialog.style) && reader.read(dialog.exStyle)))
            return false;
    }
    if (!(reader.read(count) && reader.read(dialog.x) && reader.read(dialog.y) &&
          reader.read(dialog.cx) && reader.read(dialog.cy)))
        return false;

    tNameOrOrdinal menu, windowClass;
    if (!readNameOrOrdinal(reader, menu) || !readNameOrOrdinal(reader, windowClass) ||
        !readString(reader, dialog.title))
        return false;
    dialog.menu = menu.ordinal ? ordinalName(*menu.ordinal) : menu.text;
    dialog.windowClass = windowClass.ordinal ? ordinalName(*windowClass.ordinal) : windowClass.text;

    if (dialog.style & DS_SETFONT) {
        if (!reader.read(dialog.pointSize))
            return false;
        if (dialog.extended) {
            if (!(reader.read(dialog.weight) && reader.read(dialog.italic) &&
                  reader.read(dialog.charset)))
                return false;
        } else {
            dialog.charset = defaultCharset;
        }
        if (!readString(reader, dialog.typeface))
            return false;
    }

    for (WORD i = 0; i < count; ++i) {
        tDialogItemTemplate item;
        if (!reader.align(4))
            return false;
        if (!(dialog.extended ? readExtendedItem(reader, item) : readPlainItem(reader, item)))
            return false;
        dialog.items.push_back(std::move(item));
    }
    out = std::move(dialog);
    return true;
}

bool loadDialogTemplate(HINSTANCE module, LPCSTR name, tDialogTemplate& out) {
    HRSRC resource = FindResourceA(module, name, RT_DIALOG);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return false;
    // An empty resource is no template; a failed call leaves its own code instead.
    SetLastError(ERROR_INVALID_DATA);
    DWORD size = SizeofResource(module, resource);
    if (size == 0)
        return false;
    const void* data = LockResource(loaded);
    if (!data)
        return false;
    if (!parseDialogTemplate(data, size, out)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

} // namespace platform
