#!/bin/sh
# Runs the SMBIOS structure-walk fuzzer for a short time (default 30 s), seeded with the
# SMBIOS dumps in tests/data. Usage: fuzz/run_smbios_fuzz.sh [SECONDS] [OUT_DIR]
# Compiles the target with clang++ directly, so it does not depend on how the main build
# folder was configured. Exits non-zero on a crash or a sanitizer report.
set -eu
seconds=${1:-30}
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
out=${2:-"$source_dir/build/fuzz"}
fixtures=${TAVRIN_FIXTURES:-"$source_dir/tests/data"}
fw="$source_dir/collectors/firmware"

if ! command -v clang++ >/dev/null 2>&1; then
  echo "run_smbios_fuzz.sh: clang++ not found, fuzzing skipped" >&2
  exit 0
fi
mkdir -p "$out"
target="$out/smbios_walk_fuzz"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$source_dir" "$here/smbios_walk_fuzz.cpp" "$source_dir/platform/smbios_entry_point.cpp" \
  "$fw"/smbios_*.cpp -o "$target"

corpus="$out/corpus-smbios"
mkdir -p "$corpus"
# Seeds: each dump's table behind two version bytes (3.x), the form the target reads.
if [ -d "$fixtures/dmi" ]; then
  for dump in "$fixtures"/dmi/*.bin; do
    seed="$corpus/$(basename "$dump")"
    [ -f "$seed" ] || { printf '\003\003'; tail -c +33 "$dump"; } >"$seed"
  done
fi
cd "$out"
exec "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$corpus"
