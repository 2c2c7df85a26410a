#!/usr/bin/env bash
# Checks the Debian packages that "make package" built: lintian shows no errors, the files
# they carry validate (desktop entry, AppStream metainfo, manuals), and in a scratch root
# (dpkg --root, so no change to this machine) they install, the installed programs run from
# another folder and find their files, and removing them leaves nothing behind.
#
# Usage: check_package.sh PACKAGE_DIR   (the folder with the .changes and .deb files)
set -uo pipefail

dir=$(realpath "$1")
# The debug symbol packages hold nothing to check here.
mapfile -t debs < <(find "$dir" -maxdepth 1 -name '*.deb' ! -name '*-dbgsym_*' | sort)
changes=$(find "$dir" -maxdepth 1 -name '*.changes' -print -quit)
if [[ ${#debs[@]} = 0 || -z $changes ]]; then
  echo "no packages in $dir: run make package first"
  exit 1
fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-check-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

failures=0
passes=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}

echo "== lintian"
lintian --info --display-info --fail-on error "$changes" | tee "$dir/lintian.txt"
check "lintian reports no errors" test "${PIPESTATUS[0]}" = 0

echo "== contents"
extracted=$scratch/extracted
for deb in "${debs[@]}"; do
  dpkg-deb --contents "$deb" | awk -v p="$(basename "$deb")" '{print p ": " $NF}'
  dpkg-deb -x "$deb" "$extracted"
done
app=example.tavrin.SystemInformation
check "desktop-file-validate" desktop-file-validate "$extracted/usr/share/applications/$app.desktop"
check "appstreamcli validate" \
  appstreamcli validate --no-net --no-color "$extracted/usr/share/metainfo/$app.metainfo.xml"
for page in "$extracted"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  check "man --warnings $(basename "$page"): $warnings" test -z "$warnings"
  check "lexgrog $(basename "$page")" lexgrog "$page" >/dev/null
done

echo "== install into a scratch root"
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg_root() {
  # The scratch root has none of the dependencies; they are this machine's.
  dpkg --root="$root" --force-depends --force-script-chrootless --log=/dev/null "$@" \
    >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; return 1; }
}
check "dpkg -i of ${debs[*]##*/}" dpkg_root -i "${debs[@]}"
# Everything in the root but dpkg's own database and the folders above it.
files_in_root() {
  find "$root" -mindepth 1 -path "$root/var/lib/dpkg" -prune -o -print |
    grep -vxF -e "$root/var" -e "$root/var/lib" -e "$root/var/lib/dpkg" | sort
}
installed=$(files_in_root)

mkdir -p "$scratch/elsewhere"
cd "$scratch/elsewhere" || exit 1
export XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state
out=$("$root/usr/bin/tavrin-cli" --lang DEU --page generalinfo 2>&1)
check "installed tavrin-cli runs and finds its German language file: $(head -c 300 <<<"$out")" \
  grep -qF "=== Allgemeine Informationen ===" <<<"$out"
check "installed tavrin --version" test "$("$root/usr/bin/tavrin" --version)" = \
  "tavrin $(dpkg-deb -f "${debs[0]}" Version)"
check "manual of tavrin-cli shows" \
  grep -q "tavrin-cli - show the hardware" <(MANWIDTH=80 man -l "$root/usr/share/man/man1/tavrin-cli.1.gz" 2>/dev/null)
check "facts program prints the JSON report" \
  grep -qF '"format": "tavrin-report"' <("$root/usr/libexec/tavrin/tavrin.fact")
cd "$dir" || exit 1

echo "== remove again"
mapfile -t names < <(for deb in "${debs[@]}"; do dpkg-deb -f "$deb" Package; done)
check "dpkg --purge ${names[*]}" dpkg_root --purge "${names[@]}"
left=$(files_in_root)
check "removing leaves nothing of the $(wc -l <<<"$installed") installed paths: $left" \
  test -z "$left"

echo "$passes passed, $failures failed"
[[ $failures = 0 ]]
