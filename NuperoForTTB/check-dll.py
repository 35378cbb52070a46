#!/usr/bin/python3
"""Checks the built DLL the way a Windows security review reads it.

  check-dll.py imports    DLL         only Windows' own known DLLs
  check-dll.py hardening  DLL         ASLR with relocations, DEP, NO_SEH
  check-dll.py sections   DLL         no section writable and executable, none shared and writable
  check-dll.py no-seh     DLL OBJDUMP no code registers an SEH frame, so NO_SEH is true
  check-dll.py compiled   COMMANDS    every source of the DLL built with the stack protector and fortify
"""
import json
import re
import subprocess
import sys

import pefile

ALLOWED_IMPORTS = {"KERNEL32.DLL", "USER32.DLL", "MSVCRT.DLL"}
C = pefile.DLL_CHARACTERISTICS
S = pefile.SECTION_CHARACTERISTICS


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def load(path):
    return pefile.PE(path, fast_load=False)


def imports(path):
    names = sorted(entry.dll.decode().upper() for entry in load(path).DIRECTORY_ENTRY_IMPORT)
    print("imports: " + " ".join(names))
    for name in names:
        if name not in ALLOWED_IMPORTS:
            fail(name + " is not one of the allowed system DLLs")


def hardening(path):
    pe = load(path)
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    for name in ("IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE", "IMAGE_DLLCHARACTERISTICS_NX_COMPAT",
                 "IMAGE_DLLCHARACTERISTICS_NO_SEH"):
        print(("set:     " if flags & C[name] else "MISSING: ") + name)
        if not flags & C[name]:
            fail(name + " is not set")
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    print("relocations: %d bytes" % relocations.Size)
    if relocations.Size == 0:
        fail("no relocations: the image could not move, whatever DYNAMIC_BASE says")


def sections(path):
    for section in load(path).sections:
        name = section.Name.rstrip(b"\0").decode(errors="replace")
        c = section.Characteristics
        writable = bool(c & S["IMAGE_SCN_MEM_WRITE"])
        print("%-8s %s%s%s" % (name, "R" if c & S["IMAGE_SCN_MEM_READ"] else "-", "W" if writable else "-",
                               "X" if c & S["IMAGE_SCN_MEM_EXECUTE"] else "-"))
        if writable and c & S["IMAGE_SCN_MEM_EXECUTE"]:
            fail(name + " is both writable and executable")
        if writable and c & S["IMAGE_SCN_MEM_SHARED"]:
            fail(name + " is writable and shared between processes")


def no_seh(path, objdump):
    # An x86 SEH frame is linked in through the thread's exception list, the
    # word at fs:0; no other code touches it.
    listing = subprocess.run([objdump, "-d", path], check=True, capture_output=True, text=True).stdout
    frames = [line.strip() for line in listing.splitlines() if re.search(r"%fs:0x0\b", line)]
    print("instructions using fs:0: %d" % len(frames))
    if frames:
        fail("code registers SEH frames, so NO_SEH would be false:\n  " + "\n  ".join(frames[:10]))


def compiled(commands_path):
    commands = json.load(open(commands_path))
    dll_objects = [c for c in commands
                   if re.search(r"/(NuperoForTTB|rules)\.dir/", c.get("output", c["command"]))
                   and c["file"].endswith((".c", ".cpp"))]
    if not dll_objects:
        fail("no compile command of the DLL found")
    for c in dll_objects:
        words = c["command"].split()
        missing = [flag for flag in ("-fstack-protector-strong", "-D_FORTIFY_SOURCE=2") if flag not in words]
        print(("ok       " if not missing else "MISSING  ") + c["file"])
        if missing:
            fail(c["file"] + " built without " + " ".join(missing))


if __name__ == "__main__":
    checks = {"imports": imports, "hardening": hardening, "sections": sections, "no-seh": no_seh,
              "compiled": compiled}
    if len(sys.argv) < 3 or sys.argv[1] not in checks:
        print(__doc__)
        sys.exit(2)
    checks[sys.argv[1]](*sys.argv[2:])
