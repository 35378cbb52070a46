#!/usr/bin/env bash
# Makes the release zip from a build: the DLL, an example settings file that
# changes nothing, the Japanese readme in code page 932 with CRLF line ends,
# the English README, the licence and SHA256SUMS.
#   make-package.sh BUILD_DIR OUT_DIR    prints the zip's path
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

# The version CMake took from CMakeLists.txt, as the resource did.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || { echo "make-package: no project version in $build/CMakeCache.txt" >&2; exit 1; }
name=NuperoForTTB-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cp "$build/NuperoForTTB.dll" "$stage/"
cp "$root/LICENSE" "$stage/"
sed "s/@VERSION@/$version/g" "$here/README.md" >"$stage/README.md"
# Plugins of this host ship their texts as Shift-JIS with CRLF; iconv fails
# on any character code page 932 lacks.
for text in readme.txt NuperoForTTB.ini; do
    sed "s/@VERSION@/$version/g" "$here/$text" | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$stage/$text"
done
files=(NuperoForTTB.dll NuperoForTTB.ini readme.txt README.md LICENSE)
(cd "$stage" && sha256sum "${files[@]}" >SHA256SUMS)

# Same commit, same bytes: fixed times and order, no extra attributes.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}
(cd "$stage" && TZ=UTC touch -d "@$epoch" "${files[@]}" SHA256SUMS)
rm -f "$out/$name.zip"
(cd "$stage" && TZ=UTC zip -q -X -D "$out/$name.zip" "${files[@]}" SHA256SUMS)
echo "$out/$name.zip"
