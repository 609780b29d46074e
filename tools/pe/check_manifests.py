#!/usr/bin/env python3
"""Every program in the given bin folders declares, in its embedded manifest, the architecture its
PE header is built for: Windows refuses to start a program whose own manifest names another one.

    check_manifests.py BIN_FOLDER... [--require NAME.exe ...]

The programs named with --require must carry a manifest at all; the others are checked when they
have one. Exit 0 when every check holds, 1 otherwise."""
import struct
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

RT_MANIFEST = 24
MACHINES = {0x14C: "x86", 0x8664: "amd64", 0xAA64: "arm64"}
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"


class PeImage:
    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (96 if magic == 0x10B else 112)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(vsize, raw_size), raw_offset))

    def offset(self, rva: int) -> int:
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def resources(self, type_id: int) -> list[bytes]:
        """The data of every resource of one numbered type, in every name and language."""
        if not self.resource_rva:
            return []
        base = self.offset(self.resource_rva)

        def entries(directory: int):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield name, target

        found = []
        for name, target in entries(0):
            if name & 0x80000000 or name != type_id:
                continue
            for _, by_name in entries(target & 0x7FFFFFFF):
                for _, leaf in entries(by_name & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(rva)
                    found.append(self.data[start:start + size])
        return found


def declared_architectures(manifest: bytes) -> list[str]:
    """The processorArchitecture of the program's own assembly identity (not of its dependencies)."""
    root = ET.fromstring(manifest.lstrip(b"\xef\xbb\xbf"))
    return [identity.get("processorArchitecture", "")
            for identity in root.findall(f"{ASM_V1}assemblyIdentity")]


def check(path: Path, required: bool) -> list[str]:
    image = PeImage(path.read_bytes())
    machine = MACHINES.get(image.machine, f"machine {image.machine:#x}")
    manifests = image.resources(RT_MANIFEST)
    if not manifests:
        return [f"{path}: no manifest"] if required else []
    faults = []
    for manifest in manifests:
        declared = declared_architectures(manifest)
        if not declared:
            faults.append(f"{path}: the manifest has no assembly identity")
        for arch in declared:
            if arch != machine:
                faults.append(f"{path}: built for {machine}, its manifest declares {arch or 'no architecture'}")
    return faults


def main(argv: list[str]) -> int:
    folders, required = [], set()
    args = iter(argv)
    for arg in args:
        if arg == "--require":
            required.add(next(args).lower())
        else:
            folders.append(Path(arg))
    faults, checked = [], 0
    for folder in folders:
        programs = sorted(folder.glob("*.exe"))
        present = {p.name.lower() for p in programs}
        faults += [f"{folder}: no {name}" for name in sorted(required - present)]
        for program in programs:
            faults += check(program, program.name.lower() in required)
            checked += 1
    for fault in faults:
        print("FAIL:", fault)
    print(f"{checked} programs checked, {len(faults)} faults")
    return 1 if faults or not checked else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
