// The resource calls of kernel32 over the program's RES image. An HRSRC points at an entry of
// the module's table and an HGLOBAL at the resource's bytes, which are read-only, as on Windows.

#include "platform/linux/call_hook.h"
#include "platform/linux/module.h"
#include "platform/linux/module_resources.h"
#include "platform/linux/resource_table.h"

#include <string>

namespace {

const platform::tResourceTable& moduleTable() {
    static const platform::tResourceTable table(platform::moduleResourceImage());
    return table;
}

std::string describeId(LPCSTR id) {
    if (IS_INTRESOURCE(id))
        return "#" + std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(id)));
    return std::string("\"") + id + "\"";
}

const platform::tResourceEntry* entryOf(HRSRC resource) {
    return moduleTable().owns(resource)
               ? reinterpret_cast<const platform::tResourceEntry*>(resource)
               : nullptr;
}

} // namespace

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (DWORD code = platform::enterCall(
            "FindResourceA", [&] { return describeId(name) + ", " + describeId(type); })) {
        SetLastError(code);
        return nullptr;
    }
    // Only the program's module has resources here; of any other the system finds no resource
    // section.
    if (!platform::isOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    const platform::tResourceEntry* entry = moduleTable().find(type, name, error);
    if (!entry) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<platform::tResourceEntry*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    if (DWORD code = platform::enterCall("LoadResource")) {
        SetLastError(code);
        return nullptr;
    }
    if (!platform::isOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const platform::tResourceEntry* entry = entryOf(resource);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<BYTE*>(entry->data.data());
}

LPVOID WINAPI LockResource(HGLOBAL resourceData) {
    if (DWORD code = platform::enterCall("LockResource")) {
        SetLastError(code);
        return nullptr;
    }
    // Resources are never moved: the handle is the address.
    return resourceData;
}

DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    if (DWORD code = platform::enterCall("SizeofResource")) {
        SetLastError(code);
        return 0;
    }
    if (!platform::isOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    const platform::tResourceEntry* entry = entryOf(resource);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(entry->data.size());
}
