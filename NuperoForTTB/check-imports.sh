#!/bin/sh
# The DLL must drop into a host folder and load: it may import only from
# Windows' own DLLs, never from a compiler run-time DLL.
set -eu
dlls=$(i686-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort)
echo "imports: $(echo $dlls)"
for dll in $dlls; do
    case "$dll" in
        KERNEL32.DLL|USER32.DLL|VERSION.DLL|MSVCRT.DLL) ;;
        *) echo "not a system DLL: $dll"; exit 1 ;;
    esac
done
