#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that the program, its desktop entry and its
# icons land where a desktop looks for them.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/zahlenlupe share/applications/zahlenlupe.desktop \
         share/icons/hicolor/16x16/apps/zahlenlupe.png share/icons/hicolor/32x32/apps/zahlenlupe.png; do
  [[ -e "$prefix/$f" ]] || { echo "missing after install: $f"; exit 1; }
done
[[ -x "$prefix/bin/zahlenlupe" ]] || { echo "bin/zahlenlupe is not executable"; exit 1; }
grep -qx 'Exec=zahlenlupe' "$prefix/share/applications/zahlenlupe.desktop"
grep -qx 'Icon=zahlenlupe' "$prefix/share/applications/zahlenlupe.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/zahlenlupe.desktop"
fi
for size in 16 32; do
  header=$(od -An -tx1 -N24 "$prefix/share/icons/hicolor/${size}x${size}/apps/zahlenlupe.png" | tr -d ' \n')
  [[ ${header:0:16} == 89504e470d0a1a0a ]] || { echo "icon $size is no PNG"; exit 1; }
  width=$((16#${header:32:8}))
  [[ $width -eq $size ]] || { echo "icon $size is $width pixels wide"; exit 1; }
done
echo "1 passed, 0 failed"
