#!/usr/bin/env bash
# Installs the build into a fresh prefix and runs the installed CLI and monitor for a new user:
# the data must go to $XDG_DATA_HOME, the shipped files must come from the prefix, and the
# autostart entry must use the menu entry's command.
set -eu
build=$1
work=$2
rm -rf "$work"
prefix=$work/prefix
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
       XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/home/run PATH=$prefix/bin:$PATH \
       QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TELLWISE_SOUND_SINK=none TELLWISE_SPEECHD_AUTOSPAWN=0 \
       SPEECHD_ADDRESS=unix_socket:$work/home/run/no-speechd.sock
unset TELLWISE_DATA_DIR
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
for f in applications/tellwise-monitor.desktop icons/hicolor/48x48/apps/tellwise-monitor.png \
         man/man1/tellwise-cli.1.gz tellwise-monitor/CountryList.dat; do
    [ -s "$prefix/share/$f" ] || fail "$f not installed"
done

data="$XDG_DATA_HOME/Tellwise Monitor"
tellwise-cli add-group Obitelj
tellwise-cli add-contact --display-name "Ana Horvat" --group Obitelj --phone Mobitel=0912345678
[ "$(tellwise-cli lookup 0912345678)" = "$(printf 'Ana Horvat\tMobitel')" ] || fail "lookup"
[ -s "$data/Addressbook.dat" ] || fail "no address book in $data"

# The monitor keeps running until stopped; it must still run after three seconds.
set +e
timeout 3 tellwise-monitor > "$work/monitor.log" 2>&1
rc=$?
set -e
[ $rc -eq 124 ] || { cat "$work/monitor.log"; fail "monitor ended with $rc"; }
[ -e "$data/Calls.dat" ] && [ -d "$data/Backup" ] || fail "monitor did not open its data in $data"
[ -z "$(find "$prefix" -name '*.dat' ! -name CountryList.dat)" ] || fail "data written into the prefix"
grep -qxF "PhoneRingWave=$prefix/share/tellwise-monitor/Sound/ring1.wav" \
    "$XDG_CONFIG_HOME/Kavelink/Tellwise Monitor.conf" || fail "ring sound not taken from the prefix"
grep -qx "Exec=tellwise-monitor" "$XDG_CONFIG_HOME/autostart/tellwise-monitor.desktop" ||
    fail "autostart entry does not use the menu's command"
echo "installed run: ok"
