#!/usr/bin/env bash
# Remakes the software-centre screenshots (resources/desktop/screenshots/) from a build: the
# address book with four contacts, then an incoming call from the modem emulator, on a virtual
# 1024x768 screen. Needs xvfb-run, xdotool and ImageMagick's import.
#   xvfb-run -a -s "-screen 0 1024x768x24" scripts/make-screenshots.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${TELLWISE_BUILD_DIR:-$here/build}/bin
out=$here/resources/desktop/screenshots
d=$(mktemp -d)
mkdir -p "$d/data" "$d/config/Kavelink" "$d/home" "$d/run" && chmod 700 "$d/run"
export HOME=$d/home XDG_CONFIG_HOME=$d/config XDG_RUNTIME_DIR=$d/run TELLWISE_DATA_DIR=$d/data \
       TELLWISE_SOUND_SINK=none TELLWISE_SPEECHD_AUTOSPAWN=0 LANG=C.UTF-8
cli() { "$bin/tellwise-cli" "$@" > /dev/null; }
cli add-group Obitelj
cli add-group Posao
cli add-contact --display-name "Horvat, Ana" --first Ana --last Horvat --group Obitelj \
    --phone "Mobitel=091 234 5678" --notes "Sestrična iz Zagreba"
cli add-contact --display-name "Kovač d.o.o." --company "Kovač d.o.o." --group Posao --phone "Posao=021 345 678"
cli add-contact --display-name "Babić, Marko" --first Marko --last Babić --group Posao --phone "Posao=01 4567890"
cli add-contact --display-name "Prodaja telefonom" --phone "Posao=0800 123 456" --black-list
printf '[Settings]\nRunOnStartup=0\nHideInTray=1\nMonitorOnStartup=1\nDeviceType=0\nDeviceName=Modem emulator\n' \
    > "$d/config/Kavelink/Tellwise Monitor.conf"
printf '[Modems]\nScan=false\n' > "$d/config/Kavelink/modems.ini"
printf '[Locations]\nCurrentID=1\n[Location1]\nAreaCode=01\n' > "$d/config/Kavelink/telephony-locations.ini"

"$bin/tellwise-modem-sim" --rings 20 > "$d/modem.log" 2>&1 &
sim=$!
sleep 1
"$bin/tellwise-monitor" > "$d/monitor.log" 2>&1 &
monitor=$!
trap 'kill $monitor $sim 2>/dev/null; rm -rf "$d"' EXIT
sleep 5
# Without a notification area the monitor shows a small status window; move it off the picture.
for w in $(xdotool search --onlyvisible --name .); do
    xdotool getwindowgeometry "$w" | grep -q 423x90 && xdotool windowmove "$w" 0 700
done
sleep 1
mkdir -p "$out"
import -window root -crop 980x600+22+84 +repage "$out/address-book.png"
cli modem-call 021345678
sleep 4
import -window root -crop 980x600+22+84 +repage "$out/incoming-call.png"
cli modem-hangup
