#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing (as root, or through sudo).
#   scripts/install-packages.sh TAG PACKAGE...      TAG names the caller in the message
set -euo pipefail
tag=$1
shift
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
echo "$tag: installing ${missing[*]}"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
export DEBIAN_FRONTEND=noninteractive
# A fresh machine's package lists may be stale or empty: update once and try again.
if ! $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"; then
  $sudo_cmd apt-get update
  $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
