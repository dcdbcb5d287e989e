#!/usr/bin/env bash
# Builds the Debian package and tries it as a user's machine would (as root): lintian reports no errors,
# apt-get installs it with what it needs, the installed programs run, and removing it leaves none of its
# files behind.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

# The build's output goes to standard error as it comes (through the inherited descriptor: reopening
# /dev/stderr would truncate or overwrite a log file it is redirected to); its last line is the package.
build_log=$(mktemp)
trap 'rm -f "$build_log"' EXIT
scripts/package.sh | tee "$build_log" >&2
deb=$(tail -n 1 "$build_log")
dpkg-query -W -f='${Status}' lintian 2>/dev/null | grep -q "install ok installed" ||
  apt-get install -y --no-install-recommends lintian
echo "package-check: lintian $deb"
lintian --display-info --fail-on error "$deb"

echo "package-check: apt-get install ./$deb"
apt-get install -y "./$deb"
files=$(dpkg-query -L halvane2)
/usr/bin/halvane2-cli bench --json
halvane2 --version

echo "package-check: apt-get purge halvane2"
apt-get purge -y halvane2
status=$(dpkg-query -W -f='${Status}' halvane2 2>/dev/null || true)
if [ -n "$status" ] && [[ $status != *not-installed ]]; then
  echo "package-check: halvane2 is left as '$status'" >&2
  exit 1
fi
left=0
while read -r path; do
  # The package's own files and its own directories (those named after it) must be gone.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ $path == */halvane2 ]]; }; then
    echo "package-check: left behind: $path" >&2
    left=1
  fi
done <<<"$files"
[ "$left" -eq 0 ] && echo "package-check: $deb built, installed, ran and was removed cleanly"
exit "$left"
