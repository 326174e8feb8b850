#!/usr/bin/env python3
"""Prints what an import library makes its clients import, one line per function, sorted:

    MACHINE ORDINAL FUNCTION ordinal|name

MACHINE is i386 or x86-64; a function imported by name shows its hint as ORDINAL, and its
imported name must be the function's own. Reads Microsoft short import libraries (.lib)
itself and MinGW import libraries (.a) through the target's objdump.
"""
import re
import struct
import subprocess
import sys

MACHINES = {0x14C: "i386", 0x8664: "x86-64"}


def c_name(symbol, machine):
    return symbol[1:] if machine == "i386" and symbol.startswith("_") else symbol


def short_imports(data):
    """Members of an ar archive that are short import objects."""
    pos = 8
    while pos + 60 <= len(data):
        size = int(data[pos + 48 : pos + 58].decode().strip())
        body = data[pos + 60 : pos + 60 + size]
        if body[:4] == b"\0\0\xff\xff":
            machine = MACHINES.get(struct.unpack_from("<H", body, 6)[0], "unknown")
            ordinal, kind = struct.unpack_from("<HH", body, 16)
            symbol = body[20:].split(b"\0")[0].decode()
            by = "ordinal" if (kind >> 2) & 7 == 0 else "name"
            yield f"{machine} {ordinal} {c_name(symbol, machine)} {by}"
        pos += 60 + size + (size & 1)


def mingw_imports(path):
    machine = "x86-64" if "x64" in path or "x86_64" in path else "i386"
    tool = ("x86_64" if machine == "x86-64" else "i686") + "-w64-mingw32-objdump"
    text = subprocess.run([tool, "-t", "-s", "-j", ".idata$5", "-j", ".idata$6", path],
                          check=True, capture_output=True, text=True).stdout
    for member in re.split(r"\n(?=\S+\.o:\s+file format)", text):
        formats = re.findall(r"file format pe-(\S+)", member)
        symbol = re.search(r" __imp_(\S+)$", member, re.M)
        if not symbol or not formats:
            continue
        machine = formats[0]
        name = c_name(symbol.group(1), machine)
        thunk = re.search(r"Contents of section \.idata\$5:\n 0000 ([0-9a-f ]+?)  ", member)
        words = bytes.fromhex(thunk.group(1).replace(" ", ""))
        value = int.from_bytes(words, "little")
        if value >> (len(words) * 8 - 1):
            yield f"{machine} {value & 0xFFFF} {name} ordinal"
            continue
        hint_name = re.search(r"Contents of section \.idata\$6:\n((?: [0-9a-f]{4} .*\n?)+)", member)
        raw = b"".join(bytes.fromhex(line[6:41].replace(" ", ""))
                       for line in hint_name.group(1).splitlines())
        hint = struct.unpack_from("<H", raw)[0]
        imported = raw[2:].split(b"\0")[0].decode()
        yield f"{machine} {hint} {name} name" if imported == name else f"{machine} {hint} {name} as-{imported}"


def main(path):
    if path.endswith(".lib"):
        with open(path, "rb") as f:
            lines = list(short_imports(f.read()))
    else:
        lines = list(mingw_imports(path))
    print("\n".join(sorted(lines, key=lambda l: int(l.split()[1]))))


if __name__ == "__main__":
    main(sys.argv[1])
