#!/usr/bin/env bash
# Fails when a source file includes a folder that sits above its own in the layer order.
# Each folder may include its own and those before it; app and cli are peers at the top.
set -euo pipefail
cd "$(dirname "$0")/.."

order=(base platform text helpers collectors pages gather report session "app cli")
declare -A rank
for i in "${!order[@]}"; do for d in ${order[$i]}; do rank[$d]=$i; done; done

bad=0
while IFS= read -r line; do
  file=${line%%:*}
  target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"${line#*:}")
  own=${file%%/*}
  [[ -n ${rank[$own]:-} && -n ${rank[$target]:-} ]] || continue
  if (( rank[$target] > rank[$own] )) || { [[ $own != "$target" ]] && (( rank[$target] == rank[$own] )); }; then
    echo "layer violation: $line"
    bad=1
  fi
done < <(git ls-files '*.h' '*.cpp' '*.def' '*.inc' | grep -E '^(base|platform|text|helpers|collectors|pages|gather|report|session|app|cli)/' |
         xargs grep -HE '^\s*#\s*include "[a-z_]+/' || true)

# Platform knowledge stays in platform/: no paths of the Linux file systems, no registry keys.
if git grep -nE '"/(proc|sys|etc|dev|run|var)/|HKEY_|platform/linux' -- collectors pages |
   grep -vE '^[^:]+:[0-9]+:\s*//'; then
  echo "platform knowledge above platform/ (lines above)"
  bad=1
fi
exit $bad
