#!/bin/sh
# Runs libFuzzer targets for a short time each. Usage: fuzz/run_fuzz.sh [SECONDS] [NAME...]
# A target NAME is fuzz/NAME_fuzz.cpp; fuzz/NAME_fuzz.sources lists the repository files it
# compiles (one per line, shell globs allowed, '#' starts a comment, a line "libs: -l..." adds
# link flags). Seeds are the files of fuzz/corpus/NAME/ plus what an executable
# fuzz/NAME_fuzz.seeds writes into the folder given as its argument. Each target is compiled
# with clang++ directly into build/fuzz, independently of the main build folder. Exits
# non-zero on the first crash, sanitizer report or leak; without clang++ it says so and
# succeeds.
set -eu
seconds=${1:-30}
[ $# -gt 0 ] && shift
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
out=${TAVRIN_FUZZ_OUT:-"$source_dir/build/fuzz"}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "run_fuzz.sh: clang++ not found, fuzzing skipped" >&2
  exit 0
fi
if [ $# -eq 0 ]; then
  for cpp in "$here"/*_fuzz.cpp; do
    name=$(basename "$cpp" _fuzz.cpp)
    set -- "$@" "$name"
  done
fi
mkdir -p "$out"
for name in "$@"; do
  list="$here/${name}_fuzz.sources"
  sources=""
  libs=""
  if [ -f "$list" ]; then
    while IFS= read -r line || [ -n "$line" ]; do
      line=${line%%#*}
      case "$line" in
        libs:*) libs="$libs ${line#libs:}" ;;
        *[!\ ]*) for f in $(cd "$source_dir" && eval "echo $line"); do sources="$sources $source_dir/$f"; done ;;
      esac
    done <"$list"
  fi
  target="$out/${name}_fuzz"
  echo "== $name: compiling"
  # One file per compiler, as many at once as there are processors: the targets that load
  # snapshots compile the whole platform layer.
  objects="$out/objects-$name"
  rm -rf "$objects"
  mkdir -p "$objects"
  TAVRIN_FUZZ_CXX="clang++"
  command -v ccache >/dev/null 2>&1 && TAVRIN_FUZZ_CXX="ccache clang++"
  TAVRIN_FUZZ_FLAGS="-std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
  TAVRIN_FUZZ_INCLUDE="$source_dir"
  TAVRIN_FUZZ_OBJECTS="$objects"
  export TAVRIN_FUZZ_CXX TAVRIN_FUZZ_FLAGS TAVRIN_FUZZ_INCLUDE TAVRIN_FUZZ_OBJECTS
  # shellcheck disable=SC2086
  printf '%s\n' "$here/${name}_fuzz.cpp" $sources | awk '{ print NR; print }' |
    xargs -d '\n' -n 2 -P "$(nproc 2>/dev/null || echo 2)" sh -c \
      '$TAVRIN_FUZZ_CXX $TAVRIN_FUZZ_FLAGS -I"$TAVRIN_FUZZ_INCLUDE" -c "$1" -o "$TAVRIN_FUZZ_OBJECTS/$0.o"' ||
    { echo "== $name: does not compile" >&2; exit 1; }
  # shellcheck disable=SC2086
  clang++ -fsanitize=fuzzer,address,undefined "$objects"/*.o -o "$target" $libs
  corpus="$out/corpus-$name"
  mkdir -p "$corpus"
  [ -d "$here/corpus/$name" ] && cp -n "$here/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  [ -x "$here/${name}_fuzz.seeds" ] && "$here/${name}_fuzz.seeds" "$corpus"
  echo "== $name: fuzzing for $seconds s"
  (cd "$out" && "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    "$corpus" >"$out/$name.log" 2>&1) || { tail -40 "$out/$name.log"; exit 1; }
  grep -E '^stat::number_of_executed_units|^Done' "$out/$name.log" | head -2
done
