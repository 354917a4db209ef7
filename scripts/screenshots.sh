#!/usr/bin/env bash
# Renders the main window with each tab selected to docs/screenshots, against the simulated receiver.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
OUT=${2:-docs/screenshots}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
home=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; rm -rf "$home"' EXIT
mkdir -p "$home/stavo"
link="$home/stavo/ttySIM"
"$BUILD/sim/stavo-sim" --baud 9600 --seed 7 --link "$link" --log "$home/sim.log" >/dev/null &
sim=$!
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
echo "4=$link" > "$home/stavo/ports.conf"
echo "8:00" > "$home/stavo/timezone" # the handheld's users are mostly in China
XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen STAVO_SNAPSHOT_DIR="$home/shots" \
  STAVO_SNAPSHOT_TABS_AFTER=7 STAVO_SNAPSHOT_EXIT_AFTER=1 STAVO_MSGBOX_LOG="$home/boxes.log" \
  timeout 60 "$BUILD/app/stavo" >/dev/null
for f in "$home"/shots/tab-*.png; do
  cp "$f" "$OUT/main-$(basename "$f")"
done
ls "$OUT"
