#!/usr/bin/env bash
# Removes what `cmake --install` put in place, as listed in the manifest it wrote, and the
# program's own directories (share/doc/zahlenlupe) once they are empty. Directories shared with
# other programs, such as share/man/man1, stay.
#   packaging/uninstall.sh BUILD_DIR/install_manifest.txt
set -euo pipefail
manifest=${1:?usage: uninstall.sh install_manifest.txt}
if [[ ! -f $manifest ]]; then
    echo "uninstall: $manifest not found: nothing was installed from this build" >&2
    exit 1
fi
# The manifest has no newline after its last line.
while IFS= read -r file || [[ -n $file ]]; do
    [[ -n $file ]] || continue
    if [[ -e $file || -L $file ]]; then
        rm -f -- "$file"
        echo "removed $file"
    fi
    dir=$(dirname -- "$file")
    if [[ $(basename -- "$dir") == zahlenlupe && -d $dir ]]; then
        rmdir --ignore-fail-on-non-empty -- "$dir"
    fi
done <"$manifest"
