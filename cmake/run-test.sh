#!/usr/bin/env bash
# Gives a test a fresh, empty home folder, then runs it.
set -eu
home=$1
shift
rm -rf "$home"
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run" "$home/data"
chmod 700 "$home/run"
exec "$@"
