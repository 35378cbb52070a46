#!/bin/sh
# Builds the DLL a second time in a folder of its own and compares the bytes:
# nothing of the build's place or time may reach the file.
#   check-reproducible.sh SOURCE_DIR TOOLCHAIN_FILE BUILT_DLL
set -eu
src=$1 toolchain=$2 built=$3
again=$(mktemp -d "${TMPDIR:-/tmp}/nupero-repro.XXXXXX")
trap 'rm -rf "$again"' EXIT
cmake -S "$src" -B "$again" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$again" --target NuperoForTTB >/dev/null
echo "first:  $(sha256sum <"$built")"
echo "second: $(sha256sum <"$again/NuperoForTTB.dll")"
cmp "$built" "$again/NuperoForTTB.dll"
