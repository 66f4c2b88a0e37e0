#!/usr/bin/env python3
"""Checks one property of a Windows executable, read from its PE headers.

usage: check_pe.py CHECK EXE [ARG...]

  format FORMAT        pe32-i386 or pe32plus-amd64
  subsystem            the Windows GUI subsystem
  imports DLL...       imports from exactly these DLLs (case does not matter)
  resources            dialog 102, and icon group 128 as the only icon group
  no-manifest          no RT_MANIFEST resource

Prints what it found. Exit status 0 when the property holds, 1 with a line "FAIL <check>: ..."
when it does not, 2 when the file cannot be read as a PE image.
"""

import struct
import sys

RT_DIALOG = 5
RT_GROUP_ICON = 14
RT_MANIFEST = 24
SUBSYSTEM_WINDOWS_GUI = 2

FORMATS = {
    "pe32-i386": (0x014C, 0x010B),
    "pe32plus-amd64": (0x8664, 0x020B),
}
SUBSYSTEMS = {1: "native", 2: "Windows GUI", 3: "console"}


class BadImage(Exception):
    pass


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise BadImage("no MZ header")
        (pe,) = self.unpack("<I", 0x3C)
        if data[pe : pe + 4] != b"PE\0\0":
            raise BadImage("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = self.unpack("<HHIIIHH", pe + 4)
        optional = pe + 24
        (self.magic,) = self.unpack("<H", optional)
        (self.subsystem,) = self.unpack("<H", optional + 68)
        directories = optional + (96 if self.magic == 0x010B else 112)
        self.directories = [
            self.unpack("<II", directories + 8 * i) for i in range(self.unpack("<I", directories - 4)[0])
        ]
        self.sections = []
        for i in range(sections):
            at = optional + optional_size + 40 * i
            virtual_size, address, raw_size, raw_offset = self.unpack("<IIII", at + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw_offset))

    def unpack(self, layout, offset):
        size = struct.calcsize(layout)
        if offset < 0 or offset + size > len(self.data):
            raise BadImage(f"read past the end at {offset:#x}")
        return struct.unpack_from(layout, self.data, offset)

    def offset(self, rva):
        for address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise BadImage(f"address {rva:#x} lies in no section")

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise BadImage(f"unterminated string at {rva:#x}")
        return self.data[start:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imported_dlls(self):
        rva, size = self.directory(1)
        names = []
        if not size:
            return names
        at = self.offset(rva)
        while True:
            lookup, _, _, name, thunks = self.unpack("<IIIII", at)
            if not (lookup or name or thunks):
                return names
            names.append(self.string(name))
            at += 20

    def resources(self):
        """{type id: [name ids]}; named types and names are left out."""
        rva, size = self.directory(2)
        if not size:
            return {}
        base = self.offset(rva)

        def entries(offset):
            named, ids = self.unpack("<HH", base + offset + 12)
            for i in range(named + ids):
                key, target = self.unpack("<II", base + offset + 16 + 8 * i)
                yield key, target

        found = {}
        for key, target in entries(0):
            if key & 0x80000000 or not target & 0x80000000:
                continue
            found[key] = [
                name for name, _ in entries(target & 0x7FFFFFFF) if not name & 0x80000000
            ]
        return found


def check_format(image, expected):
    if expected not in FORMATS:
        raise BadImage(f"unknown format {expected}")
    print(f"machine {image.machine:#06x}, optional header magic {image.magic:#06x}")
    if (image.machine, image.magic) != FORMATS[expected]:
        return f"not {expected}"
    return None


def check_subsystem(image):
    name = SUBSYSTEMS.get(image.subsystem, "other")
    print(f"subsystem {image.subsystem} ({name})")
    if image.subsystem != SUBSYSTEM_WINDOWS_GUI:
        return f"{name} ({image.subsystem}), expected Windows GUI ({SUBSYSTEM_WINDOWS_GUI})"
    return None


def check_imports(image, *expected):
    found = image.imported_dlls()
    print("imports " + ", ".join(found))
    have = {name.lower() for name in found}
    want = {name.lower() for name in expected}
    if have != want:
        extra = ", ".join(sorted(have - want)) or "none"
        missing = ", ".join(sorted(want - have)) or "none"
        return f"unexpected {extra}; missing {missing}"
    return None


def check_resources(image):
    found = image.resources()
    dialogs = found.get(RT_DIALOG, [])
    icon_groups = found.get(RT_GROUP_ICON, [])
    print(f"dialogs {dialogs}, icon groups {icon_groups}")
    if 102 not in dialogs:
        return "no dialog 102"
    if icon_groups != [128]:
        return f"icon groups {icon_groups}, expected only 128"
    return None


def check_no_manifest(image):
    manifests = image.resources().get(RT_MANIFEST, [])
    print(f"manifests {manifests}")
    if manifests:
        return f"manifest resources {manifests}"
    return None


CHECKS = {
    "format": check_format,
    "subsystem": check_subsystem,
    "imports": check_imports,
    "resources": check_resources,
    "no-manifest": check_no_manifest,
}


def main(argv):
    if len(argv) < 3 or argv[1] not in CHECKS:
        print(__doc__, file=sys.stderr)
        return 2
    check, path, arguments = argv[1], argv[2], argv[3:]
    try:
        with open(path, "rb") as file:
            image = Image(file.read())
        failure = CHECKS[check](image, *arguments)
    except (OSError, BadImage, TypeError) as error:
        print(f"cannot check {path}: {error}", file=sys.stderr)
        return 2
    if failure:
        print(f"FAIL {check}: {failure}")
        return 1
    print(f"ok {check}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
