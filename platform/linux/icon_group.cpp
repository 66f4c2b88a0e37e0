#include "platform/linux/icon_group.h"

#include "platform/linux/byte_reader.h"

namespace platform {

namespace {

constexpr WORD iconType = 1;

// The bytes of one resource of `module`, or false with the last error of the failed call.
bool loadResourceBytes(HINSTANCE module, LPCSTR name, LPCSTR type, const BYTE*& data, DWORD& size) {
    HRSRC resource = FindResourceA(module, name, type);
    if (!resource)
        return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return false;
    SetLastError(ERROR_INVALID_DATA); // an empty resource holds nothing usable
    size = SizeofResource(module, resource);
    if (size == 0)
        return false;
    data = static_cast<const BYTE*>(LockResource(loaded));
    return data != nullptr;
}

void put(std::vector<BYTE>& out, const void* value, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(value);
    out.insert(out.end(), bytes, bytes + size);
}

void putByte(std::vector<BYTE>& out, BYTE value) {
    out.push_back(value);
}
void putWord(std::vector<BYTE>& out, WORD value) {
    put(out, &value, sizeof value);
}
void putDword(std::vector<BYTE>& out, DWORD value) {
    put(out, &value, sizeof value);
}

} // namespace

bool parseIconGroup(const void* data, std::size_t size, std::vector<tIconGroupEntry>& out) {
    tByteReader reader(data, size);
    WORD reserved = 0, type = 0, count = 0;
    if (!(reader.read(reserved) && reader.read(type) && reader.read(count)))
        return false;
    if (reserved != 0 || type != iconType)
        return false;
    std::vector<tIconGroupEntry> entries;
    for (WORD i = 0; i < count; ++i) {
        BYTE width = 0, height = 0, entryReserved = 0;
        tIconGroupEntry entry;
        if (!(reader.read(width) && reader.read(height) && reader.read(entry.colorCount) &&
              reader.read(entryReserved) && reader.read(entry.planes) &&
              reader.read(entry.bitCount) && reader.read(entry.bytesInRes) &&
              reader.read(entry.iconId)))
            return false;
        entry.width = width ? width : 256;
        entry.height = height ? height : 256;
        entries.push_back(entry);
    }
    out.insert(out.end(), entries.begin(), entries.end());
    return true;
}

bool loadIconGroup(HINSTANCE module, LPCSTR name, std::vector<tIconGroupEntry>& out) {
    const BYTE* data = nullptr;
    DWORD size = 0;
    if (!loadResourceBytes(module, name, RT_GROUP_ICON, data, size))
        return false;
    if (!parseIconGroup(data, size, out)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

bool buildIconFile(HINSTANCE module, LPCSTR name, std::vector<BYTE>& out) {
    std::vector<tIconGroupEntry> entries;
    if (!loadIconGroup(module, name, entries))
        return false;

    struct tImage {
        const BYTE* data;
        DWORD size;
    };
    std::vector<tImage> images;
    for (const tIconGroupEntry& entry : entries) {
        tImage image{};
        if (!loadResourceBytes(module, MAKEINTRESOURCEA(entry.iconId), RT_ICON, image.data,
                               image.size))
            return false;
        images.push_back(image);
    }

    constexpr std::size_t directorySize = 6, directoryEntrySize = 16;
    std::vector<BYTE> file;
    putWord(file, 0);
    putWord(file, iconType);
    putWord(file, static_cast<WORD>(entries.size()));
    std::size_t offset = directorySize + directoryEntrySize * entries.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const tIconGroupEntry& entry = entries[i];
        putByte(file, static_cast<BYTE>(entry.width == 256 ? 0 : entry.width));
        putByte(file, static_cast<BYTE>(entry.height == 256 ? 0 : entry.height));
        putByte(file, entry.colorCount);
        putByte(file, 0);
        putWord(file, entry.planes);
        putWord(file, entry.bitCount);
        // The image's real size: the file must describe the bytes it carries.
        putDword(file, images[i].size);
        putDword(file, static_cast<DWORD>(offset));
        offset += images[i].size;
    }
    for (const tImage& image : images)
        put(file, image.data, image.size);
    out = std::move(file);
    return true;
}

} // namespace platform
