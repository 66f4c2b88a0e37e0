#pragma once

// Message maps: each class that handles messages lists them in a static table chained to its
// base class's table, so that a derived class's entry wins over its base's for the same message.

#include "platform/win32_api.h"

class CCmdTarget;

namespace framework {

// The handler signatures that the map macros know.
enum class tSignature {
    end,           // terminates a table
    command,       // void OnX()                      WM_COMMAND with a notification code and id
    sysCommand,    // void OnSysCommand(UINT, LPARAM)
    paint,         // void OnPaint()
    queryDragIcon, // HCURSOR OnQueryDragIcon()
};

using tCommandHandler = void (CCmdTarget::*)();
using tSysCommandHandler = void (CCmdTarget::*)(UINT, LPARAM);
using tQueryDragIconHandler = HCURSOR (CCmdTarget::*)();

struct tMessageMapEntry {
    UINT message;
    UINT code; // notification code of a WM_COMMAND entry
    UINT id;   // control or command id of a WM_COMMAND entry
    tSignature signature;
    tCommandHandler command;
    tSysCommandHandler sysCommand;
    tQueryDragIconHandler queryDragIcon;
};

struct tMessageMap {
    const tMessageMap* (*base)();
    const tMessageMapEntry* entries;
};

// The first entry for `message` (and, for WM_COMMAND, `code` and `id`) along the chain.
const tMessageMapEntry* findEntry(const tMessageMap* map, UINT message, UINT code, UINT id);

template <class T>
tCommandHandler commandHandler(void (T::*handler)()) {
    return static_cast<tCommandHandler>(handler);
}
template <class T>
tSysCommandHandler sysCommandHandler(void (T::*handler)(UINT, LPARAM)) {
    return static_cast<tSysCommandHandler>(handler);
}
template <class T>
tQueryDragIconHandler queryDragIconHandler(HCURSOR (T::*handler)()) {
    return static_cast<tQueryDragIconHandler>(handler);
}

} // namespace framework

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const ::framework::tMessageMap* GetThisMessageMap();                                    \
    const ::framework::tMessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const ::framework::tMessageMap* theClass::GetMessageMap() const {                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const ::framework::tMessageMap* theClass::GetThisMessageMap() {                                \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static const ::framework::tMessageMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, ::framework::tSignature::end, nullptr, nullptr, nullptr }                           \
    }                                                                                              \
    ;                                                                                              \
    static const ::framework::tMessageMap map = {&TheBaseClass::GetThisMessageMap, entries};       \
    return &map;                                                                                   \
    }

#define ON_COMMAND(id, handler)                                                                    \
    {WM_COMMAND,                                                                                   \
     BN_CLICKED,                                                                                   \
     (id),                                                                                         \
     ::framework::tSignature::command,                                                             \
     ::framework::commandHandler<ThisClass>(handler),                                              \
     nullptr,                                                                                      \
     nullptr},
#define ON_BN_CLICKED(id, handler) ON_COMMAND(id, handler)
#define ON_CBN_SELCHANGE(id, handler)                                                              \
    {WM_COMMAND,                                                                                   \
     CBN_SELCHANGE,                                                                                \
     (id),                                                                                         \
     ::framework::tSignature::command,                                                             \
     ::framework::commandHandler<ThisClass>(handler),                                              \
     nullptr,                                                                                      \
     nullptr},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND,                                                                                \
     0,                                                                                            \
     0,                                                                                            \
     ::framework::tSignature::sysCommand,                                                          \
     nullptr,                                                                                      \
     ::framework::sysCommandHandler<ThisClass>(&ThisClass::OnSysCommand),                          \
     nullptr},
#define ON_WM_PAINT()                                                                              \
    {WM_PAINT,                                                                                     \
     0,                                                                                            \
     0,                                                                                            \
     ::framework::tSignature::paint,                                                               \
     ::framework::commandHandler<ThisClass>(&ThisClass::OnPaint),                                  \
     nullptr,                                                                                      \
     nullptr},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON,                                                                             \
     0,                                                                                            \
     0,                                                                                            \
     ::framework::tSignature::queryDragIcon,                                                       \
     nullptr,                                                                                      \
     nullptr,                                                                                      \
     ::framework::queryDragIconHandler<ThisClass>(&ThisClass::OnQueryDragIcon)},
