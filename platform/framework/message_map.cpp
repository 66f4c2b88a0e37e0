#include "platform/framework/message_map.h"

namespace framework {

const tMessageMapEntry* findEntry(const tMessageMap* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const tMessageMapEntry* entry = map->entries; entry->signature != tSignature::end;
             ++entry) {
            if (entry->message != message)
                continue;
            if (message == WM_COMMAND && (entry->code != code || entry->id != id))
                continue;
            return entry;
        }
    }
    return nullptr;
}

} // namespace framework
