#!/usr/bin/python3
"""Unpacks the release zip into an empty folder and checks what a user gets.

  check-package.py ZIP BUILT_DLL UNPACK_DIR
"""
import hashlib
import pathlib
import sys
import zipfile

EXPECTED = {"NuperoForTTB.dll", "NuperoForTTB.ini", "readme.txt", "README.md", "LICENSE", "SHA256SUMS"}
problems = []


def check(condition, message):
    print(("ok       " if condition else "FAILED   ") + message)
    if not condition:
        problems.append(message)


def shipped_text(path):
    """Code page 932 with CRLF line ends, as the host's plugins ship texts."""
    raw = path.read_bytes()
    try:
        text = raw.decode("cp932")
    except UnicodeDecodeError as error:
        check(False, "%s decodes as code page 932 (%s)" % (path.name, error))
        return ""
    check(True, path.name + " decodes as code page 932")
    check(raw.count(b"\n") > 0 and raw.count(b"\n") == raw.count(b"\r\n"), path.name + " has CRLF line ends only")
    return text


zip_path, built_dll, unpack = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
unpack.mkdir(parents=True, exist_ok=True)
check(not any(unpack.iterdir()), "the folder to unpack into is empty")
with zipfile.ZipFile(zip_path) as archive:
    check(set(archive.namelist()) == EXPECTED, "the zip holds exactly " + ", ".join(sorted(EXPECTED)))
    archive.extractall(unpack)

dll = (unpack / "NuperoForTTB.dll").read_bytes()
check(dll == built_dll.read_bytes(), "NuperoForTTB.dll equals the built one")

readme = shipped_text(unpack / "readme.txt")
for needed in ("タイトルを変更(&T)", "Nupero(&T)", "MouseClickType", "StartMode", "$FFFFFFFF", "0x1",
               "インストール", "アンインストール", "応答しない", "履歴", "certutil"):
    check(needed in readme, "readme.txt mentions " + needed)

ini = shipped_text(unpack / "NuperoForTTB.ini")
active = [line for line in ini.splitlines()
          if line.strip() and not line.strip().startswith(";") and not line.strip().startswith("[")]
check(not active, "the example settings set nothing (%s)" % active)
check(";MouseClickType=" in ini and ";StartMode=" in ini, "the example shows both keys, commented out")

licence = (unpack / "LICENSE").read_text()
check("MIT License" in licence and "NuperoForTTB project" in licence, "LICENSE is MIT with the rights holder")

sums = {}
for line in (unpack / "SHA256SUMS").read_text().splitlines():
    digest, name = line.split(None, 1)
    sums[name.lstrip("*")] = digest
check(set(sums) == EXPECTED - {"SHA256SUMS"}, "SHA256SUMS lists every other file")
for name, digest in sorted(sums.items()):
    check(hashlib.sha256((unpack / name).read_bytes()).hexdigest() == digest, "SHA256SUMS matches " + name)

sys.exit(1 if problems else 0)
