#!/usr/bin/env bash
# Starts the simulated receiver and the program against it, in a data folder of its own under the
# build folder (so a user's real settings are left alone). Without a display, the program runs on
# Qt's offscreen platform and renders its live screen to PNG files.
set -euo pipefail
BUILD=${1:-build}
BUILD=$(cd "$BUILD" && pwd)
home="$BUILD/run-home"
mkdir -p "$home/stavo"
export XDG_CONFIG_HOME="$home"
link="$home/stavo/ttySIM"

# The receiver starts at 38400 baud: the program has to find it and bring it to 9600.
"$BUILD/sim/stavo-sim" --baud 38400 --link "$link" --state "$home/sim-state" --log "$home/sim.log" >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true; wait $sim 2>/dev/null || true' EXIT INT TERM
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
echo "4=$link" > "$home/stavo/ports.conf"
echo "Simulated receiver on $(readlink "$link") (port 4); its command log: $home/sim.log"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  export QT_QPA_PLATFORM=offscreen
  export STAVO_SNAPSHOT_DIR="$BUILD/live"
  echo "No display here: Stavo runs offscreen and renders its screen to $STAVO_SNAPSHOT_DIR/live.png every second"
  echo "(each tab once to $STAVO_SNAPSHOT_DIR/tab-N.png after 8 s). Press Ctrl-C to stop."
fi
"$BUILD/app/stavo"
