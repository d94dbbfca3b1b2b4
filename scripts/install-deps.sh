#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Zahlenlupe need.
# Quick and silent when everything is already there; safe to run again.
set -euo pipefail

packages=(g++ clang cmake ninja-build make qt6-base-dev fonts-liberation)
# The real-window test and the sanitizer runtime are optional extras: fetched when missing,
# but their absence is not fatal.
extras=(xvfb xdotool x11-apps libclang-rt-14-dev)

missing() {
  local out=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      out+=("$p")
    fi
  done
  echo "${out[@]:-}"
}

need=$(missing "${packages[@]}")
want=$(missing "${extras[@]}")
[[ -z "$need" && -z "$want" ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then sudo="sudo"; else
    echo "missing packages: $need $want (run as root or install them by hand)" >&2
    [[ -z "$need" ]] && exit 0 || exit 1
  fi
fi

export DEBIAN_FRONTEND=noninteractive
echo "installing: $need $want" >&2
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $need >/dev/null
if [[ -n "$want" ]]; then
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $want >/dev/null || echo "optional packages not installed: $want" >&2
fi
