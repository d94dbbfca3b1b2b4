#!/usr/bin/env bash
# Checks that the Debian package holds what a desktop needs to offer the program: the program
# itself, executable, its desktop entry, its AppStream metainfo, its icons and its manual page,
# none of them empty.
#
# usage: checkpackage.sh PACKAGE.deb
set -euo pipefail
deb=${1:?usage: checkpackage.sh PACKAGE.deb}
id=de.zahlenlupe.Zahlenlupe

expected=(usr/bin/zahlenlupe usr/libexec/zahlenlupe/zahlenlupe-gui usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/scalable/apps/$id.svg
    usr/share/man/man1/zahlenlupe.1.gz)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done

# Lines of dpkg-deb -c: mode, owner/group, size, date, time, ./path
listing=$(dpkg-deb -c "$deb")
status=0
for path in "${expected[@]}"; do
    line=$(awk -v p="./$path" '$6 == p' <<<"$listing")
    if [[ -z $line ]]; then
        echo "$deb: $path is missing" >&2
        status=1
    elif [[ $(awk '{ print $3 }' <<<"$line") -eq 0 ]]; then
        echo "$deb: $path is empty" >&2
        status=1
    fi
done
for program in usr/bin/zahlenlupe usr/libexec/zahlenlupe/zahlenlupe-gui; do
    [[ $(awk -v p="./$program" '$6 == p { print $1 }' <<<"$listing") == -rwxr-xr-x ]] ||
        { echo "$deb: $program is not executable" >&2; status=1; }
done
((status == 0)) && echo "$deb: program, desktop entry, metainfo, icons and manual page present"
exit $status
