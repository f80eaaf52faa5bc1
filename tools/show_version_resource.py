#!/usr/bin/env python3
"""Prints the version resource of Windows programs and libraries, read from their resource
section as Windows reads it for a file's Properties: the processor, the fixed file and
product versions, the file type, then every string of each language's table.

    show_version_resource.py FILE...

Exits 1 when a file is not a Windows program or library, or carries no version resource.
"""
import struct
import sys

MACHINES = {0x14C: "i386", 0x8664: "x86-64"}
FILE_TYPES = {1: "application", 2: "DLL"}
RT_VERSION = 16


class NotVersioned(Exception):
    pass


def sections_of(data):
    if data[:2] != b"MZ":
        raise NotVersioned("not a Windows program or library")
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotVersioned("no PE header")
    machine, count, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    (magic,) = struct.unpack_from("<H", data, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    sections = []
    table = optional + optional_size
    for i in range(count):
        _, virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append((rva, max(virtual_size, raw_size), raw_offset))
    return MACHINES.get(machine, hex(machine)), resource_rva, sections


def offset_of(rva, sections):
    for start, size, raw in sections:
        if start <= rva < start + size:
            return rva - start + raw
    raise NotVersioned(f"address {rva:#x} lies in no section")


def version_block(data):
    machine, resource_rva, sections = sections_of(data)
    if resource_rva == 0:
        raise NotVersioned("no resource section")
    base = offset_of(resource_rva, sections)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            yield name, target

    for kind, target in entries(base):
        if kind != RT_VERSION:
            continue
        names = base + (target & 0x7FFFFFFF)
        for _, language_table in entries(names):
            for _, leaf in entries(base + (language_table & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                start = offset_of(rva, sections)
                return machine, data[start:start + size]
    raise NotVersioned("no version resource")


def aligned(offset):
    return (offset + 3) & ~3


def node(block, at):
    """(length, value length, type, key, value offset, children offset) of one node."""
    length, value_length, kind = struct.unpack_from("<HHH", block, at)
    end = at + 6
    while block[end:end + 2] != b"\0\0":
        end += 2
    key = block[at + 6:end].decode("utf-16-le")
    return length, value_length, kind, key, aligned(end + 2)


def children(block, start, end):
    at = aligned(start)
    while at < end:
        length = struct.unpack_from("<H", block, at)[0]
        if length == 0:
            break
        yield at
        at = aligned(at + length)


def describe(path):
    with open(path, "rb") as file:
        data = file.read()
    machine, block = version_block(data)
    length, value_length, _, key, value = node(block, 0)
    if key != "VS_VERSION_INFO" or value_length < 52:
        raise NotVersioned(f"a version resource of an unknown form ({key!r})")
    fixed = struct.unpack_from("<13I", block, value)
    if fixed[0] != 0xFEEF04BD:
        raise NotVersioned("the fixed file information lacks its signature")

    def dotted(high, low):
        return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"

    lines = [f"{path}", f"  machine {machine}; file version {dotted(fixed[2], fixed[3])}; "
             f"product version {dotted(fixed[4], fixed[5])}; type {FILE_TYPES.get(fixed[9], fixed[9])}"]
    for child in children(block, value + value_length, length):
        child_length, _, _, child_key, child_value = node(block, child)
        if child_key == "StringFileInfo":
            for table in children(block, child_value, child + child_length):
                table_length, _, _, language, strings = node(block, table)
                lines.append(f"  StringFileInfo {language}")
                for string in children(block, strings, table + table_length):
                    string_length, units, _, name, text = node(block, string)
                    content = block[text:text + 2 * units].decode("utf-16-le").rstrip("\0")
                    lines.append(f"    {name}: {content}")
        elif child_key == "VarFileInfo":
            for var in children(block, child_value, child + child_length):
                _, size, _, name, values = node(block, var)
                pairs = struct.unpack_from(f"<{size // 2}H", block, values)
                lines.append(f"  VarFileInfo {name}: " + ", ".join(
                    f"{pairs[i]:04X}/{pairs[i + 1]}" for i in range(0, len(pairs), 2)))
    return "\n".join(lines)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    failed = False
    for path in argv[1:]:
        try:
            print(describe(path))
        except (NotVersioned, OSError, struct.error) as error:
            print(f"{path}: {error}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
