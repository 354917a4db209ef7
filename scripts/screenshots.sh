#!/usr/bin/env bash
# Renders the main window with each tab selected, and the receiver pages with their editors open, to
# docs/screenshots, against the simulated receiver.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
OUT=${2:-docs/screenshots}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
home=$(mktemp -d)
trap 'kill $sim 2>/dev/null || true; rm -rf "$home"' EXIT
mkdir -p "$home/stavo"
link="$home/stavo/ttySIM"
"$BUILD/sim/stavo-sim" --baud 9600 --seed 3 --link "$link" --log "$home/sim.log" >/dev/null &
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
# The receiver pages with a cell editor and the drop-down open, driven against the same receiver.
if [ -x "$BUILD/tests/receiver/receiver_screenshots" ]; then
  XDG_CONFIG_HOME="$home" QT_QPA_PLATFORM=offscreen STAVO_MSGBOX_LOG="$home/boxes.log" \
    timeout 120 "$BUILD/tests/receiver/receiver_screenshots" "$OUT" >/dev/null
fi
# The CORS page against Debian's str2str on loopback: a fetched source table, then connected with the
# received-byte count running (rendered by the page test that drives it).
if [ -x "$BUILD/tests/cors/test_cors_net" ] && command -v str2str >/dev/null; then
  STAVO_SCREENSHOT_DIR="$OUT" STAVO_TEST_DATA="$(cd "$(dirname "$0")/.." && pwd)/tests/data" QT_QPA_PLATFORM=offscreen \
    timeout 120 "$BUILD/tests/cors/test_cors_net" --gtest_filter='CorsPageTest.Screenshots' >/dev/null
fi
ls "$OUT"
