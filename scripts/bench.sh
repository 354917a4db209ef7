#!/usr/bin/env bash
# Runs the benchmarks; each compares with a peer in the same run and prints the ratios.
#   bench_wirra: reader + decoder throughput against Debian's gpsdecode on the same NMEA bytes, and the
#                latency from a byte on a pseudo-terminal to the message in the queue / at the window.
#   bench_xml:   a 24 MB document against pugixml and libxml2: index build from text in memory, and end to end
#                from the UTF-8 file on disk to a navigable document; end tags that match no open element
#                against the same file with matching ones.
set -euo pipefail
BUILD=${1:-build}
cmake --build "$BUILD" --target bench_wirra bench_xml >/dev/null
echo "== receiver link: $BUILD/bench/wirra/bench_wirra"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/wirra/bench_wirra"
echo
echo "== XML engine: $BUILD/bench/xml/bench_xml 24 7"
"$BUILD/bench/xml/bench_xml" 24 7
