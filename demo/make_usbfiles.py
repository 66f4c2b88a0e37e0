#!/usr/bin/env python3
"""Writes the formatter's data files for the demo into a usbfiles folder: boot sector
stand-ins, the master boot record the distribution's formatter ships, the two system files and
an image folder. Stand-ins only: they make a disk the formatter accepts, not one that boots.

usage: make_usbfiles.py <usbfiles folder> <mbrfat.bin>
"""

import pathlib
import shutil
import sys


def boot_sector(jump: int) -> bytes:
    # The formatter checks for a short jump (EB xx 90) at the start and the signature at 510.
    sector = bytearray(512)
    sector[0:3] = bytes([0xEB, jump, 0x90])
    sector[510:512] = b"\x55\xaa"
    return bytes(sector)


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    folder = pathlib.Path(sys.argv[1])
    (folder / "image").mkdir(parents=True, exist_ok=True)
    (folder / "fat12.bin").write_bytes(boot_sector(0x3C))
    (folder / "fat16.bin").write_bytes(boot_sector(0x3C))
    (folder / "fat32lba.bin").write_bytes(boot_sector(0x58))
    shutil.copyfile(sys.argv[2], folder / "mbrfat.bin")
    (folder / "kernel.sys").write_text("controller kernel (demo stand-in)\n")
    (folder / "command.com").write_text("controller shell (demo stand-in)\n")
    (folder / "image" / "readme.txt").write_text(
        "Embedded controller utility disk, made by the bootdisk demo.\n")
    (folder / "image" / "setup.cfg").write_text("baud=115200\nport=1\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
