#!/usr/bin/env bash
# Mutation run: applies each one-line fault of tests/mutants.txt to a scratch copy of the sources,
# rebuilds incrementally, runs the fast tests and names the faults no test notices.
#
#   scripts/mutants.sh [WORD]    only the mutations whose name contains WORD
#
# The copy and its build live in build-mutants/ (ZAHLENLUPE_MUTANTS_DIR to move them). Exit status
# 1 when a mutation survives without being marked equivalent, 2 when an entry is stale.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=tests/mutants.txt
work=$(realpath -m "${ZAHLENLUPE_MUTANTS_DIR:-build-mutants}")
src=$work/src
build=$work/build
only=${1:-}
# The tests that need neither a display server nor an installation. The random user runs briefly
# and with one seed for every mutation, so that a verdict does not depend on which events it drew.
skip='^(realwindow|keys-x11|wayland|install)$'
export QT_QPA_PLATFORM=offscreen ZAHLENLUPE_EVENTS=${ZAHLENLUPE_EVENTS:-300}
export ZAHLENLUPE_SEED=${ZAHLENLUPE_SEED:-20260520}
echo "the random user: ZAHLENLUPE_SEED=$ZAHLENLUPE_SEED, ZAHLENLUPE_EVENTS=$ZAHLENLUPE_EVENTS"
start=$(date +%s)

# The scratch copy gets every tracked file that differs from the worktree's; unchanged files keep
# their times, so the build stays incremental.
mkdir -p "$src" "$build"
git ls-files | while IFS= read -r f; do
  cmp -s "$f" "$src/$f" || cp --parents "$f" "$src"
done
# Configured every time, so that the tests listed below are those of the sources as they are now,
# not of the copy's last run. Warnings stay warnings here: a mutant that only warns must still run.
# -O1 saves build time.
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
  >"$work/configure.log" || { cat "$work/configure.log"; exit 2; }
targets=$(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p' | grep -Ev "$skip")
# The programs those tests run: each test is named after its program, and a test named otherwise
# (tst_hidpi_150) runs one of the others.
programs=$(for t in $targets; do ninja -C "$build" -t query "$t" >/dev/null 2>&1 && echo "$t"; done)
# shellcheck disable=SC2086
build_all() { nice cmake --build "$build" --target zahlenlupe $programs >"$work/build.log" 2>&1; }
run_tests() { # prints the first test that fails, or nothing
  local t
  for t in $targets; do
    (cd "$build" && nice ctest -R "^$t\$" --timeout 300 >"$work/test.log" 2>&1) || { echo "$t"; return; }
  done
}

echo "baseline: building and testing the unmutated copy"
build_all || { tail -30 "$work/build.log"; exit 2; }
failing=$(run_tests)
[ -z "$failing" ] || { echo "the unmutated copy already fails $failing"; exit 2; }

# Reads the list into parallel arrays; an entry starts with "name:".
names=() files=() finds=() intos=() equivs=()
while IFS= read -r line || [ -n "$line" ]; do
  case $line in
  'name: '*) names+=("${line#name: }") files+=("") finds+=("") intos+=("") equivs+=("") ;;
  'file: '*) files[-1]=${line#file: } ;;
  'find: '*) finds[-1]=${line#find: } ;;
  'into: '*) intos[-1]=${line#into: } ;;
  'equivalent: '*) equivs[-1]=${line#equivalent: } ;;
  '#'* | '') ;;
  *) echo "$list: cannot read: $line"; exit 2 ;;
  esac
done <"$list"

total=0 killed=0 survived=0 equivalent=0 stale=0 unbuilt=0
report=()
for i in "${!names[@]}"; do
  name=${names[i]} file=${files[i]} find=${finds[i]} into=${intos[i]} equiv=${equivs[i]}
  [[ -z $only || $name == *"$only"* ]] || continue
  total=$((total + 1))
  text=$(<"$root/$file") || text=
  rest=${text//"$find"/}
  if [ -z "$find" ] || [ $(((${#text} - ${#rest}) / ${#find})) -ne 1 ]; then
    result="STALE: the text is not found exactly once in $file"
    stale=$((stale + 1))
  else
    printf '%s\n' "${text/"$find"/"$into"}" >"$src/$file"
    if ! build_all; then
      result="build failed"
      unbuilt=$((unbuilt + 1))
    else
      failing=$(run_tests)
      if [ -n "$failing" ]; then
        result="killed by $failing"
        killed=$((killed + 1))
        [ -z "$equiv" ] || result="$result (but marked equivalent)"
      elif [ -n "$equiv" ]; then
        result="equivalent: $equiv"
        equivalent=$((equivalent + 1))
      else
        result="SURVIVED"
        survived=$((survived + 1))
      fi
    fi
    cp "$root/$file" "$src/$file"
  fi
  report+=("$(printf '%3d  %-58s %s' "$((i + 1))" "$name" "$result")")
  echo "${report[-1]}"
done

build_all # leaves the build matching the sources again
echo
echo "mutations: $total  killed: $killed  equivalent: $equivalent  survived: $survived" \
  " build failed: $unbuilt  stale: $stale  time: $(($(date +%s) - start)) s"
printf '%s\n' "${report[@]}" | grep -E 'SURVIVED|STALE|marked equivalent' || true
[ "$stale" -eq 0 ] || exit 2
[ "$survived" -eq 0 ] || exit 1
