#pragma once

// Dialog templates (RT_DIALOG) read into plain values, for the window code that builds the
// dialog. Both layouts are understood: DLGTEMPLATEEX and the older DLGTEMPLATE. Strings are
// converted from UTF-16 to UTF-8, the platform's narrow code page.

#include "platform/win32_api.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct tDialogItemTemplate {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0; // a plain template's WORD id, zero-extended
    // 0x0080 to 0x0085 name the predefined classes; 0 when the class is named by a string.
    WORD classAtom = 0;
    // "Button", "Edit", "Static", "ListBox", "ScrollBar" or "ComboBox" for the predefined
    // atoms, "#n" for any other atom n, else the name as written in the template.
    std::string className;
    std::string text;
    // Set when the text is a resource id (0xFFFF, id), as for an icon in a static control.
    std::optional<WORD> textOrdinal;
    std::vector<BYTE> creationData;
};

struct tDialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;        // empty: none; "#n": menu resource n
    std::string windowClass; // empty: the system's dialog class; "#n": class atom n
    std::string title;
    // Present only with DS_SETFONT. A plain template gives only the size and the face; its
    // weight stays 0 (don't care), italic 0 and charset 1 (DEFAULT_CHARSET).
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::string typeface;
    std::vector<tDialogItemTemplate> items;
};

// False on malformed or truncated input, with `out` unchanged; never reads past `size`.
bool parseDialogTemplate(const void* data, std::size_t size, tDialogTemplate& out);

// Finds, loads and parses the RT_DIALOG resource `name` of `module`. False with the last error
// of the failed call, or ERROR_INVALID_DATA when the template is malformed.
bool loadDialogTemplate(HINSTANCE module, LPCSTR name, tDialogTemplate& out);

} // namespace platform
