#include "platform/linux/module.h"

#include "platform/linux/call_hook.h"

#include <string>

namespace platform {

HMODULE ownModule() {
    // Where a Windows executable is usually based; any non-null value would do.
    return reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x00400000));
}

bool isOwnModule(HMODULE module) {
    return module == nullptr || module == ownModule();
}

} // namespace platform

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
    if (DWORD code = platform::enterCall("GetModuleHandleA", [&] {
            return moduleName ? std::string(moduleName) : std::string("null");
        })) {
        SetLastError(code);
        return nullptr;
    }
    if (moduleName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return platform::ownModule();
}
