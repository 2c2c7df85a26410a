#!/usr/bin/env bash
# Installs the build into a scratch prefix with "cmake --install" and runs the installed copy
# from another working folder: it must find its language files and helper libraries in the
# installed places, say which file and folders it searched when a library is missing, and its
# manuals, completion and metadata must agree with what the programs accept.
#
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

build=$(realpath "$1")
source=$(realpath "$2")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-install-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
work=$scratch/elsewhere
mkdir -p "$work"
# A user of their own: fresh settings, no language stored yet.
export XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state HOME=$scratch/home
unset LC_ALL LC_MESSAGES
export LANG=C.UTF-8

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
contains() { grep -qF -- "$2" <<<"$1"; }

if ! cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  echo "FAILED: cmake --install"
  exit 1
fi

cli=$prefix/bin/tavrin-cli
gui=$prefix/bin/tavrin
helperdir=$(dirname "$(find "$prefix" -name libhelper.so -print -quit)")
langdir=$prefix/share/tavrin/lang

# --- Layout ---------------------------------------------------------------------------------
check "tavrin-cli in bin/" test -x "$cli"
check "helper libraries in lib/.../tavrin/" test "$(basename "$helperdir")" = tavrin
for lib in libhelper.so libLocalizer.so libRepLibrary.so; do
  check "$lib installed" test -f "$helperdir/$lib"
done
check "language files in share/tavrin/lang/" test -f "$langdir/German.ini"
check "no language folder beside the installed program" test ! -e "$prefix/bin/Lang"
check "no library beside the installed program" test -z "$(find "$prefix/bin" -name '*.so')"
check "manual of tavrin-cli" test -f "$prefix/share/man/man1/tavrin-cli.1"
check "bash completion" test -f "$prefix/share/bash-completion/completions/tavrin-cli"
check "zsh completion" test -n "$(find "$prefix/share/zsh" -name _tavrin-cli)"
check "facts program" test -x "$prefix/libexec/tavrin/tavrin.fact"
check "documentation" test -f "$prefix/share/doc/tavrin/fleet.md"

# --- The installed copy, from another folder --------------------------------------------------
cd "$work" || exit 1
out=$(LD_DEBUG=files LD_DEBUG_OUTPUT=$scratch/ld "$cli" --page generalinfo 2>"$scratch/err")
code=$?
check "installed tavrin-cli runs (exit $code: $(head -c 400 "$scratch/err"))" test "$code" = 0
check "it prints the General Information page" contains "$out" "=== General Information ==="
loaded=$(cat "$scratch"/ld.* 2>/dev/null | sed -n 's/.*file=\([^ ]*lib\(helper\|Localizer\)\.so\).*/\1/p' | sort -u)
check "helper libraries come from the installed folder: $loaded" \
  test "$loaded" = "$(printf '%s\n' "$helperdir/libLocalizer.so" "$helperdir/libhelper.so" | sort)"

out=$(LANG=de_DE.UTF-8 "$cli" --page generalinfo 2>&1)
check "the locale picks the installed German language file" \
  contains "$out" "=== Allgemeine Informationen ==="
out=$("$cli" --lang DEU --page generalinfo 2>&1)
check "--lang DEU finds the installed German language file" \
  contains "$out" "=== Allgemeine Informationen ==="

# A missing helper library: a failure exit that names the file and the folders searched.
mv "$helperdir/libLocalizer.so" "$scratch/"
err=$("$cli" --page generalinfo 2>&1 >/dev/null)
code=$?
mv "$scratch/libLocalizer.so" "$helperdir/"
check "a missing helper library is a failure exit (got $code)" test "$code" = 1
check "the load error names the library" contains "$err" "Localizer.dll::Localizer"
check "the load error names the file looked for and the places searched" \
  contains "$err" "libLocalizer.so was not found in: $prefix/bin, $helperdir"

# --- Manuals, completion and metadata agree with the programs --------------------------------
help=$("$cli" --help)
keys=$(sed -n 's/.*keys: //p' <<<"$help" | tr -d ',')
options=$(grep -oE '^  (--?[a-z]+)' <<<"$help" | tr -d ' ' | sort -u)
check "the help text lists page keys" test -n "$keys"
man_cli=$prefix/share/man/man1/tavrin-cli.1
bash_completion=$prefix/share/bash-completion/completions/tavrin-cli
zsh_completion=$(find "$prefix/share/zsh" -name _tavrin-cli -print -quit)
for key in $keys; do
  check "page key $key in the bash completion" grep -qw -- "$key" "$bash_completion"
  check "page key $key in the zsh completion" grep -q -- "'$key:" "$zsh_completion"
  check "page key $key in the manual" grep -q -- "fB$key\\\\fR" "$man_cli"
done
for option in $options; do
  roff=${option//-/\\-}
  check "option $option in the bash completion" grep -qw -- "$option" "$bash_completion"
  check "option $option in the zsh completion" grep -qF -- "$option" "$zsh_completion"
  check "option $option in the manual" grep -qF -- "$roff" "$man_cli"
done
for kind in html xml text json; do
  check "report kind $kind in both completions" grep -qw "$kind" "$bash_completion" "$zsh_completion"
done

version=$("$cli" --version | awk '{print $2}')
check "debian/changelog is at version $version" \
  grep -q "^tavrin ($version)" "$source/debian/changelog"
check "the manuals name version $version" grep -q "\"Tavrin $version\"" "$man_cli"

if command -v man >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    check "man --warnings $(basename "$page"): $warnings" test -z "$warnings"
  done
fi

if [[ -f /usr/share/bash-completion/bash_completion ]]; then
  # shellcheck disable=SC2016
  got=$(bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"
    complete_line() {
      COMP_LINE=$1; COMP_POINT=${#1}; read -ra COMP_WORDS <<<"$1"
      [[ $1 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _tavrin_cli; echo "${COMPREPLY[*]}"
    }
    complete_line "tavrin-cli --page gen"; complete_line "tavrin-cli --report "' \
    _ "$bash_completion")
  check "bash completes page keys and report kinds: $got" \
    test "$got" = $'generalinfo\nhtml xml text json'
fi

# The facts program for Ansible prints the JSON report; PATH has no tavrin-cli here.
facts=$(PATH=/usr/bin:/bin "$prefix/libexec/tavrin/tavrin.fact")
check "the facts program prints the JSON report" contains "$facts" '"format": "tavrin-report"'

# --- The window program ------------------------------------------------------------------------
if [[ -x "$gui" ]]; then
  check "tavrin --version" test "$("$gui" --version)" = "tavrin $version"
  for lib in libcommonforms.so libsettings.so; do
    check "$lib installed" test -f "$helperdir/$lib"
  done
  app=example.tavrin.SystemInformation
  desktop=$prefix/share/applications/$app.desktop
  metainfo=$prefix/share/metainfo/$app.metainfo.xml
  check "desktop entry" test -f "$desktop"
  check "metainfo" test -f "$metainfo"
  check "the icon in the hicolor theme" test -f "$prefix/share/icons/hicolor/scalable/apps/$app.svg"
  for size in 16 24 32 48 64 128 256; do
    check "${size}px icon" test -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$app.png"
  done
  check "the newest release in the metainfo is $version" \
    grep -q "<release version=\"$version\"" "$metainfo"
  window_help=$("$gui" --help)
  for option in $(grep -oE '^  (--?[a-z]+)' <<<"$window_help" | tr -d ' ' | sort -u); do
    check "window option $option in its manual" \
      grep -qF -- "${option//-/\\-}" "$prefix/share/man/man1/tavrin.1"
  done
  if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate" desktop-file-validate "$desktop"
  fi
  if command -v appstreamcli >/dev/null; then
    check "appstreamcli validate" appstreamcli validate --no-net --no-color "$metainfo" >/dev/null
  fi
fi

echo "$passes passed, $failures failed"
[[ $failures = 0 ]]
