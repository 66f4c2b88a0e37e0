#include "platform/linux/resource_table.h"

#include "platform/linux/utf16.h"

#include <cstring>

namespace platform {

namespace {

// The platform's user interface language is English (United States).
int languageRank(WORD language) {
    return language == 0x0409 ? 0 : language == 0x0000 ? 1 : 2;
}

} // namespace

bool resourceIdFromArgument(LPCSTR argument, tResourceId& id) {
    if (IS_INTRESOURCE(argument)) {
        id = tResourceId::fromOrdinal(LOWORD(reinterpret_cast<ULONG_PTR>(argument)));
        return true;
    }
    if (argument[0] != '#') {
        id = tResourceId::fromName(utf16FromUtf8(argument));
        return true;
    }
    const char* digits = argument + 1;
    std::size_t count = strlen(digits);
    if (count == 0 || count > 5)
        return false;
    DWORD value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (digits[i] < '0' || digits[i] > '9')
            return false;
        value = value * 10 + static_cast<DWORD>(digits[i] - '0');
    }
    if (value > 0xFFFF)
        return false;
    id = tResourceId::fromOrdinal(static_cast<WORD>(value));
    return true;
}

tResourceTable::tResourceTable(std::span<const BYTE> image) {
    wellFormed = parseResourceImage(image, all);
}

const tResourceEntry* tResourceTable::find(LPCSTR type, LPCSTR name, DWORD& error) const {
    tResourceId typeId, nameId;
    if (!resourceIdFromArgument(type, typeId) || !resourceIdFromArgument(name, nameId)) {
        error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (!wellFormed) {
        error = ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    const tResourceEntry* best = nullptr;
    bool typeSeen = false;
    for (const tResourceEntry& entry : all) {
        if (!sameResourceId(entry.type, typeId))
            continue;
        typeSeen = true;
        if (sameResourceId(entry.name, nameId) &&
            (!best || languageRank(entry.language) < languageRank(best->language)))
            best = &entry;
    }
    if (!best)
        error = typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
    return best;
}

bool tResourceTable::owns(const void* entry) const {
    for (const tResourceEntry& candidate : all)
        if (&candidate == entry)
            return true;
    return false;
}

} // namespace platform
