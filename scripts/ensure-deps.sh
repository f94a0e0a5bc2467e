#!/usr/bin/env bash
# Installs the Debian packages listed in deps/debian-packages.txt that are not installed yet.
# Runs apt-get update once, and only when something is missing. Once every package is there, a
# note in the build folder remembers the list, so later runs skip the check until it changes.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
list="$here/deps/debian-packages.txt"
build=${TELLWISE_BUILD_DIR:-$here/build}
note="$build/.debian-packages-installed"
if [ -f "$note" ] && cmp -s "$list" "$note"; then
    exit 0
fi
wanted=()
while read -r pkg; do
    pkg=${pkg%%#*}
    pkg=$(echo "$pkg" | tr -d '[:space:]')
    [ -n "$pkg" ] && wanted+=("$pkg")
done < "$list"
# One query for all of them; a package dpkg has never heard of is not printed at all.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null |
    awk '$NF == "installed" && $(NF-1) == "ok" { sub(/:.*/, "", $1); print $1 }' || true)
missing=()
for pkg in "${wanted[@]}"; do
    grep -qxF "$pkg" <<<"$installed" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing missing packages: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
mkdir -p "$build"
cp "$list" "$note"
