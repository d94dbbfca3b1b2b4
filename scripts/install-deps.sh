#!/usr/bin/env bash
# Installs the Debian packages that one make target needs:
#
#   scripts/install-deps.sh PROFILE [BUILD_DIR]
#
#   run      compiling and starting the program (also build, bench, soak, install)
#   test     run + the tools of the real-window tests (X and Wayland) and the install checks
#   asan     test + clang and its sanitizer runtime
#   tsan     run + clang and its sanitizer runtime (ThreadSanitizer)
#   soakx    run + clang, its sanitizer runtime and the X tools of the real-window soak (required)
#   fuzz     run + clang and libFuzzer
#   package  run + what CPack needs to compute the package's dependencies
#   lint     package + lintian, appstreamcli and desktop-file-validate
#   format   clang-format
#
# Quick and silent when everything is there; asks for root (sudo) only when something is
# missing. An optional package that cannot be installed is noted once in BUILD_DIR and not tried
# again for that build directory (delete BUILD_DIR/install-deps.skipped to try again). When it did
# install something, it leaves BUILD_DIR/install-deps.changed so that the Makefile configures the
# build again: the configure step is where tools such as Xvfb are looked for.
#
# With CI=true every package is required: a test tool that cannot be installed fails the run
# instead of leaving its tests out.
set -euo pipefail

profile=${1:-}
build=${2:-build}
skipped_file=$build/install-deps.skipped

# qt6-wayland: the program runs natively on a Wayland session, and at all on one without Xwayland.
# qt6-svg-dev: the plot as SVG. libgmp-dev: exact whole numbers of any size for --exact.
# qt6-charts-dev: the map's chart of the count against d; on Debian 12 its CMake files ask for Qt's
# OpenGL module, whose CMake files come with libqt6opengl6-dev, which it does not depend on.
run=(g++ cmake ninja-build make qt6-base-dev qt6-svg-dev libgmp-dev fonts-liberation
     qt6-translations-l10n qt6-wayland qt6-charts-dev libqt6opengl6-dev)
package=("${run[@]}" dpkg-dev file)

# The sanitizer and libFuzzer runtime belongs to one clang release: the installed one, or the one
# the clang package would bring (asked after apt-get update).
clang_rt() {
    local major=""
    if command -v clang >/dev/null; then
        major=$(clang -dumpversion 2>/dev/null | cut -d. -f1)
    else
        major=$(apt-cache depends clang 2>/dev/null | sed -n 's/.*Depends: clang-\([0-9]\+\)$/\1/p' | head -n1)
    fi
    echo "libclang-rt-${major:-14}-dev"
}

required=()
optional=()
sanitizers=0
case $profile in
run) required=("${run[@]}") ;;
test)
    required=("${run[@]}")
    optional=(xvfb xdotool x11-apps weston desktop-file-utils appstream poppler-utils librsvg2-bin)
    ;;
asan)
    required=("${run[@]}" clang)
    sanitizers=1
    optional=(xvfb xdotool x11-apps weston desktop-file-utils appstream poppler-utils librsvg2-bin)
    ;;
tsan)
    required=("${run[@]}" clang)
    sanitizers=1
    ;;
soakx)
    required=("${run[@]}" clang xvfb xdotool x11-apps)
    sanitizers=1
    ;;
fuzz)
    required=("${run[@]}" clang)
    sanitizers=1
    ;;
package) required=("${package[@]}") ;;
lint) required=("${package[@]}" lintian appstream desktop-file-utils) ;;
format) required=(clang-format) ;;
*)
    echo "usage: $0 run|test|asan|tsan|soakx|fuzz|package|lint|format [build-directory]" >&2
    exit 2
    ;;
esac
if ((sanitizers)) && command -v clang >/dev/null; then
    required+=("$(clang_rt)")
fi
if [[ ${CI:-} == true ]]; then
    required+=("${optional[@]}")
    optional=()
fi

# Prints those of the given packages that are not installed, in one dpkg-query call.
missing() {
    (($# == 0)) && return 0
    local installed
    installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "$@" 2>/dev/null |
        awk '$2 == "installed" { print $1 }' || true)
    local p
    for p in "$@"; do
        grep -qxF -- "$p" <<<"$installed" || echo "$p"
    done
}

mapfile -t need < <(missing "${required[@]}")
mapfile -t want < <(missing "${optional[@]}")
# Optional packages that failed before for this build directory are not tried again.
if [[ ${#want[@]} -gt 0 && -f $skipped_file ]]; then
    mapfile -t want < <(printf '%s\n' "${want[@]}" | grep -vxF -f "$skipped_file" || true)
fi
[[ ${#need[@]} -eq 0 && ${#want[@]} -eq 0 ]] && exit 0

say() { echo "install-deps ($profile): $*" >&2; }

# Remembers optional packages that could not be installed and says so, once.
skip() {
    mkdir -p "$build"
    printf '%s\n' "$@" >>"$skipped_file"
    say "optional packages not installed: $*; continuing without them," \
        "not trying again for $build (remove $skipped_file to retry)"
}

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null; then
        sudo=(sudo)
    else
        if [[ ${#need[@]} -gt 0 ]]; then
            say "missing packages: ${need[*]}${want[*]:+ ${want[*]}}; run as root or install them by hand"
            exit 1
        fi
        skip "${want[@]}"
        exit 0
    fi
fi

apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq --no-install-recommends)
install() { "${apt[@]}" install "$@" >/dev/null; }
changed() { mkdir -p "$build" && touch "$build/install-deps.changed"; }

what=${need[*]}
[[ ${#want[@]} -gt 0 ]] && what+="${what:+ }(optional) ${want[*]}"
say "installing $what"
"${sudo[@]}" apt-get update -qq || say "apt-get update failed; trying with the package lists at hand"
if ((sanitizers)) && ! command -v clang >/dev/null; then
    rt=$(clang_rt)
    need+=("$rt")
    say "and $rt, the sanitizer runtime of that clang"
fi

if [[ ${#need[@]} -gt 0 ]]; then
    if ! install "${need[@]}"; then
        say "could not install ${need[*]}"
        exit 1
    fi
    changed
fi
if [[ ${#want[@]} -gt 0 ]]; then
    if install "${want[@]}"; then
        changed
    elif [[ ${#want[@]} -eq 1 ]]; then
        skip "${want[@]}"
    else
        # One unavailable package should not keep the others out: try them one by one.
        failed=()
        for p in "${want[@]}"; do
            if install "$p"; then changed; else failed+=("$p"); fi
        done
        [[ ${#failed[@]} -gt 0 ]] && skip "${failed[@]}"
    fi
fi
say "done"
