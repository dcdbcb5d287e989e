#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a desktop gets: exactly the expected files,
# launchers and metainfo that validate, icons of their stated sizes, manual pages that render without
# warnings and carry every subcommand and option, and a bash completion that offers the same ones.
#   check_install.sh BUILD-DIR EXPECTED-FILE-LIST SOURCE-DIR
set -uo pipefail
build=$1 expected=$2 source=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
diff -u "$expected" <(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) ||
  fail "the installed files differ from $expected"
share=$root/usr/share cli=$root/usr/bin/halvane2-cli

# Launchers and metainfo: the validators, and the names they refer to.
for entry in "$share"/applications/*.desktop; do
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate $entry: $out"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  for dir in scalable 48x48 128x128; do
    compgen -G "$share/icons/hicolor/$dir/apps/$icon.*" >/dev/null || fail "$entry: no $dir icon '$icon'"
  done
done
for info in "$share"/metainfo/*.xml; do
  appstreamcli validate --no-net "$info" >/dev/null || fail "appstreamcli validate $info"
  launchable=$(xmllint --xpath 'string(//launchable[@type="desktop-id"])' "$info")
  [ -f "$share/applications/$launchable" ] || fail "$info: launchable '$launchable' is not installed"
  for shot in $(xmllint --xpath '//screenshot/image/text()' "$info"); do
    [ -f "$source/docs/${shot##*/docs/}" ] || fail "$info: screenshot $shot is not in docs/"
  done
done

# Icons: the SVG parses as SVG, each PNG has its directory's size (width and height from the IHDR chunk).
for svg in "$share"/icons/hicolor/scalable/apps/*.svg; do
  [ "$(xmllint --xpath 'local-name(/*)' "$svg" 2>&1)" = svg ] || fail "$svg does not parse as SVG"
done
for png in "$share"/icons/hicolor/*x*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
  [ "${w}x${h}" = "$size" ] || fail "$png is ${w}x${h}, not $size"
done

# Manual pages render without warnings.
for page in "$share"/man/man1/*.1.gz; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || fail "man --warnings -l $page: $out"
done

# Subcommands and options: from the installed program's --help, against its page and its completion.
source /usr/share/bash-completion/bash_completion
source "$share/bash-completion/completions/halvane2-cli"
completions() {  # the completions offered at the end of the command line $1, sorted, on one line
  COMP_LINE=$1 COMP_POINT=${#1}
  read -ra COMP_WORDS <<<"$1"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=()
  _halvane2_cli halvane2-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' '
}
long_options() { grep -E '^[[:space:]]+-' | grep -oE -- '--[a-z][a-z-]*' | sort -u | paste -sd' '; }
rendered() { LC_ALL=C MANWIDTH=200 man -l "$share/man/man1/$1.1.gz" 2>/dev/null; }
page=$(rendered halvane2)
options=$("$root/usr/bin/halvane2" --help | long_options)
[ -n "$options" ] || fail "halvane2 --help names no options"
for option in $options; do
  grep -q -- "$option" <<<"$page" || fail "halvane2.1 does not name $option"
done
page=$(rendered halvane2-cli)
subcommands=$("$cli" --help | sed -n 's/^[[:space:]]\{1,\}halvane2-cli \([a-z][a-z-]*\).*/\1/p' | sort | paste -sd' ')
[ -n "$subcommands" ] && [ "$(completions "halvane2-cli ")" = "$(echo --help $subcommands | tr ' ' '\n' |
  sort | paste -sd' ')" ] || fail "completion of subcommands differs from --help ($subcommands)"
for sub in $subcommands; do
  options=$("$cli" "$sub" --help | long_options)
  [ "$(completions "halvane2-cli $sub --")" = "$options" ] || fail "completion of '$sub' options: not '$options'"
  grep -q "^   $sub\$" <<<"$page" || fail "halvane2-cli.1 has no section for '$sub'"
  for option in $options; do
    grep -q -- "$option" <<<"$page" || fail "halvane2-cli.1 does not name $option"
  done
done

# File names by extension, in any case; directories stay reachable.
files=$(mktemp -d)
touch "$files"/{a.fits,b.FIT,c.fts,d.bmp,e.ppm,f.txt,g.png} && mkdir "$files/h"
cd "$files" || exit 1
while IFS='|' read -r line want; do
  [ "$(completions "$line")" = "$want" ] || fail "completion of '$line': '$(completions "$line")', not '$want'"
done <<'TABLE'
halvane2-cli info |a.fits b.FIT c.fts d.bmp e.ppm h
halvane2-cli show --as fits a.fits |d.bmp h
halvane2-cli measure a.fits 1 2 --button |left right
halvane2-cli apply in.ppm out.bmp blur 2 s|sabattier solarize
TABLE
rm -rf "$files"

[ "$failures" -eq 0 ] && echo "installed tree: all checks pass"
exit $((failures > 0))
