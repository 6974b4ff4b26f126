#!/usr/bin/env python3
"""Reads back what a Windows program carries in its resources, for the
end-to-end test: its version record's strings, its application manifest and
the picture sizes of its icon group.

Usage: pe_resources.py EXE    prints "version KEY=VALUE" lines, "manifest
                              TEXT" (one line) and "icon W BITS" lines
Leaves out: 32-bit programs' other layouts beyond the header, resources
named by string, and every language but the first. Depends on the Python
standard library only."""
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
RESOURCE_TABLE = 2  # the data directory's entry for resources


class Image:
    def __init__(self, data):
        self.data = data
        header = struct.unpack_from("<I", data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resources = struct.unpack_from("<I", data, directories + 8 * RESOURCE_TABLE)[0]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        sys.exit(f"pe_resources.py: address {rva:#x} lies in no section")

    def entries(self, directory):
        """(id, offset of the entry's target relative to the table, is a directory)."""
        at = self.offset(self.resources) + directory
        named, numbered = struct.unpack_from("<12xHH", self.data, at)
        for i in range(named + numbered):
            ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
            yield ident, target & 0x7FFFFFFF, bool(target & 0x80000000)

    def resource(self, kind, ident):
        """The bytes of resource `ident` of type `kind`, in its first language; None without it."""
        for kind_id, names, _ in self.entries(0):
            if kind_id != kind:
                continue
            for name_id, languages, _ in self.entries(names):
                if name_id == ident:
                    _, leaf, _ = next(self.entries(languages))
                    rva, size = struct.unpack_from("<II", self.data, self.offset(self.resources) + leaf)
                    return self.data[self.offset(rva):self.offset(rva) + size]
        return None


def version_strings(record):
    """KEY=VALUE of every string of a VS_VERSIONINFO record."""
    strings = {}

    def walk(at, end):
        while at < end:
            length, value_length, text = struct.unpack_from("<HHH", record, at)
            key_end = record.index(b"\0\0", at + 6)
            while (key_end - at) % 2:
                key_end = record.index(b"\0\0", key_end + 1)
            key = record[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if text and value_length:
                value = record[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
                strings[key] = value
            else:
                walk((value_at + value_length + 3) & ~3, at + length)
            at = (at + length + 3) & ~3
    walk(0, len(record))
    return strings


def main():
    with open(sys.argv[1], "rb") as exe:
        image = Image(exe.read())
    record = image.resource(RT_VERSION, 1)
    for key, value in sorted(version_strings(record).items() if record else []):
        print(f"version {key}={value}")
    manifest = image.resource(RT_MANIFEST, 1)
    if manifest:
        print("manifest " + " ".join(manifest.decode("utf-8").split()))
    group = image.resource(RT_GROUP_ICON, 1)
    if group:
        count = struct.unpack_from("<4xH", group)[0]
        for i in range(count):
            width, _, _, _, _, bits = struct.unpack_from("<BBBBHH", group, 6 + 14 * i)
            print(f"icon {width or 256} {bits}")


if __name__ == "__main__":
    main()
