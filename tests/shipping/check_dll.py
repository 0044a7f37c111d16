#!/usr/bin/env python3
"""Checks a built plug-in module without running it: a 32-bit (PE32, i386) DLL that exports exactly
the six entry points under their plain names and imports only from Windows system DLLs.

Usage: check_dll.py DLL [--machine i386|x86_64]. Exit 0 when every check holds, 1 otherwise."""
import struct
import sys

ENTRY_POINTS = {
    "FinaleExtensionVersion",
    "FinaleExtensionInit",
    "FinaleExtensionEnumerate_UTF16",
    "FinaleExtensionGetMenuStatus",
    "FinaleExtensionInvoke",
    "FinaleExtensionTerminate",
}
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll",
    "shell32.dll", "ole32.dll", "comdlg32.dll", "ntdll.dll", "uxtheme.dll",
}
MACHINES = {"i386": (0x14C, 0x10B), "x86_64": (0x8664, 0x20B)}


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections = struct.unpack_from("<HH", data, pe + 4)
        opt_size, self.characteristics = struct.unpack_from("<HH", data, pe + 20)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        sec = opt + opt_size
        for i in range(nsections):
            vsize, vaddr, rsize, raddr = struct.unpack_from("<IIII", data, sec + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("address 0x%x lies in no section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def exports(self):
        rva, size = self.directories[0]
        if rva == 0:
            return []
        base = self.offset(rva)
        count = struct.unpack_from("<I", self.data, base + 24)[0]
        names = struct.unpack_from("<I", self.data, base + 32)[0]
        return [self.cstring(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
                for i in range(count)]

    def imports(self):
        rva, size = self.directories[1]
        found = []
        if rva == 0:
            return found
        at = self.offset(rva)
        while True:
            name_rva = struct.unpack_from("<I", self.data, at + 12)[0]
            if name_rva == 0:
                return found
            found.append(self.cstring(name_rva))
            at += 20


def check(path, machine):
    problems = []
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    want_machine, want_magic = MACHINES[machine]
    if pe.machine != want_machine or pe.magic != want_magic:
        problems.append("machine 0x%x / optional header 0x%x, wanted %s" % (pe.machine, pe.magic, machine))
    if not pe.characteristics & 0x2000:
        problems.append("not a DLL")
    exports = set(pe.exports())
    for name in sorted(ENTRY_POINTS - exports):
        problems.append("entry point not exported under its plain name: " + name)
    for name in sorted(exports - ENTRY_POINTS):
        problems.append("unexpected export: " + name)
    for dll in pe.imports():
        if dll.lower() not in SYSTEM_DLLS:
            problems.append("imports a non-system DLL: " + dll)
    return problems


def main():
    args = sys.argv[1:]
    machine = "i386"
    if "--machine" in args:
        i = args.index("--machine")
        machine = args[i + 1]
        del args[i:i + 2]
    if len(args) != 1:
        print(__doc__)
        return 2
    try:
        problems = check(args[0], machine)
    except (OSError, ValueError, struct.error) as e:
        problems = ["cannot read: %s" % e]
    for p in problems:
        print("%s: %s" % (args[0], p))
    if not problems:
        print("%s: %s DLL, six plain entry points, system imports only" % (args[0], machine))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
