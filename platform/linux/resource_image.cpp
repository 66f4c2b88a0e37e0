#include "platform/linux/resource_image.h"

#include "platform/linux/byte_reader.h"
#include "platform/linux/utf16.h"

namespace platform {

namespace {

constexpr std::size_t fixedHeaderTail = 16; // DataVersion to Characteristics

bool readId(tByteReader& reader, tResourceId& id) {
    std::optional<WORD> ordinal;
    std::u16string text;
    if (!reader.readNameOrOrdinal(ordinal, text))
        return false;
    // An empty string names nothing that can be looked up; keep it as such.
    id = ordinal ? tResourceId::fromOrdinal(*ordinal) : tResourceId::fromName(std::move(text));
    return true;
}

// One entry at the reader's position, which is DWORD-aligned; on success the reader stands
// behind the entry's data.
bool readEntry(std::span<const BYTE> image, tByteReader& reader, tResourceEntry& entry) {
    const std::size_t start = reader.offset();
    DWORD dataSize = 0, headerSize = 0;
    if (!reader.read(dataSize) || !reader.read(headerSize))
        return false;
    if (headerSize < 8 + 4 + 4 + fixedHeaderTail || headerSize > image.size() - start)
        return false;
    if (dataSize > image.size() - start - headerSize)
        return false;

    // The names and fixed fields must lie within the header.
    tByteReader header(image.data() + start, headerSize);
    header.skip(8);
    if (!readId(header, entry.type) || !readId(header, entry.name) || !header.align(4))
        return false;
    if (!header.read(entry.dataVersion) || !header.read(entry.memoryFlags) ||
        !header.read(entry.language) || !header.read(entry.version) ||
        !header.read(entry.characteristics))
        return false;

    entry.data = image.subspan(start + headerSize, dataSize);
    return reader.seek(start + headerSize + dataSize);
}

bool isLeadingEmptyEntry(const tResourceEntry& entry) {
    return entry.type.isOrdinal && entry.type.ordinal == 0 && entry.name.isOrdinal &&
           entry.name.ordinal == 0 && entry.data.empty();
}

} // namespace

bool sameResourceId(const tResourceId& a, const tResourceId& b) {
    if (a.isOrdinal != b.isOrdinal)
        return false;
    return a.isOrdinal ? a.ordinal == b.ordinal : equalIgnoringCase(a.name, b.name);
}

bool parseResourceImage(std::span<const BYTE> image, std::vector<tResourceEntry>& out) {
    tByteReader reader(image.data(), image.size());
    std::vector<tResourceEntry> entries;
    bool first = true;
    while (reader.remaining() > 0) {
        tResourceEntry entry;
        if (!readEntry(image, reader, entry))
            return false;
        if (first) {
            if (!isLeadingEmptyEntry(entry))
                return false;
            first = false;
        } else {
            entries.push_back(std::move(entry));
        }
        // The padding behind the last entry may be left out.
        std::size_t padding = (4 - reader.offset() % 4) % 4;
        if (reader.remaining() <= padding)
            break;
        reader.align(4);
    }
    if (first)
        return false;
    out.insert(out.end(), entries.begin(), entries.end());
    return true;
}

} // namespace platform
