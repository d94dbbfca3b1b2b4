#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that everything lands where a desktop, man and
# the AppStream tools look for it, and that uninstalling removes it all again.
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mktemp -d)
# Installing the default component by name writes its own manifest, so that the build's
# install_manifest.txt (the one make uninstall reads) stays that of make install.
manifest=$build/install_manifest_Unspecified.txt
trap 'rm -rf "$prefix" "$manifest"' EXIT
fail() {
    echo "$*"
    echo "0 passed, 1 failed"
    exit 1
}

cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null
id=de.zahlenlupe.Zahlenlupe
desktop=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
for f in bin/zahlenlupe "$desktop" "$metainfo" share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/zahlenlupe.1.gz share/doc/zahlenlupe/copyright share/doc/zahlenlupe/changelog.gz; do
    [[ -s "$prefix/$f" ]] || fail "missing after install: $f"
done
[[ -x "$prefix/bin/zahlenlupe" ]] || fail "bin/zahlenlupe is not executable"
[[ -x "$prefix/libexec/zahlenlupe/zahlenlupe-gui" ]] || fail "the window program is not installed"

# The installed zahlenlupe finds its window program (--help comes from there, with the window's
# keys), and it answers lists and counts with none of Qt's graphical libraries loaded.
"$prefix/bin/zahlenlupe" --help | grep -q 'Strg+M' || fail "bin/zahlenlupe does not reach its window program"
needed=$(readelf -d "$prefix/bin/zahlenlupe" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
grep -q libQt6Core <<<"$needed" || fail "bin/zahlenlupe: no Qt Core among $needed"
! grep -qE 'libQt6(Gui|Widgets|Svg|PrintSupport)' <<<"$needed" ||
    fail "bin/zahlenlupe loads graphical libraries: $needed"

# The desktop entry starts the installed program and names the installed icon; the metainfo
# points at the desktop entry.
grep -qx 'Exec=zahlenlupe' "$prefix/$desktop" || fail "desktop entry: Exec"
grep -qx "Icon=$id" "$prefix/$desktop" || fail "desktop entry: Icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/$metainfo" ||
    fail "metainfo: launchable"
# The validators are optional on a developer's machine; CI (CI=true) must have them.
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || [[ ${CI:-} != true ]] || fail "CI needs $tool"
done
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$prefix/$desktop" 2>&1 || echo "desktop-file-validate failed")
    [[ -z $out ]] || fail "$out"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/$metainfo" >/dev/null || fail "metainfo does not validate"
fi

# Each PNG is as wide and as high as the directory it sits in says.
for size in 16 32 48 64 128 256; do
    header=$(od -An -tx1 -N24 "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | tr -d ' \n')
    [[ ${header:0:16} == 89504e470d0a1a0a ]] || fail "icon $size is no PNG"
    ((16#${header:32:8} == size && 16#${header:40:8} == size)) || fail "icon $size has a wrong size"
done

# Man page and changelog: gzip without a name or time stamp in the header (flags and mtime
# zero), and both carry the project's version, as does the metainfo.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ -n $version ]] || fail "no project version in $build/CMakeCache.txt"
for f in share/man/man1/zahlenlupe.1.gz share/doc/zahlenlupe/changelog.gz; do
    [[ $(od -An -tx1 -j3 -N5 "$prefix/$f" | tr -d ' \n') == 0000000000 ]] ||
        fail "$f has a name or time stamp in its gzip header"
done
gzip -dc "$prefix/share/doc/zahlenlupe/changelog.gz" | head -n1 | grep -q "^zahlenlupe ($version) " ||
    fail "changelog does not start with version $version"
gzip -dc "$prefix/share/man/man1/zahlenlupe.1.gz" | grep -q "^\.TH ZAHLENLUPE 1 .*\"Zahlenlupe $version\"" ||
    fail "manual page is not that of version $version"
grep -q "<release version=\"$version\"" "$prefix/$metainfo" || fail "metainfo lacks release $version"

# Uninstalling removes every installed file and the program's own directory.
bash "$source_dir/packaging/uninstall.sh" "$manifest" >/dev/null
left=$(find "$prefix" -type f)
[[ -z $left ]] || fail "left after uninstall: $left"
[[ ! -e $prefix/share/doc/zahlenlupe ]] || fail "share/doc/zahlenlupe left after uninstall"
[[ ! -e $prefix/libexec/zahlenlupe ]] || fail "libexec/zahlenlupe left after uninstall"
echo "1 passed, 0 failed"
