#!/usr/bin/env bash
# Runs the benchmarks; each compares with a peer in the same run and prints the ratios.
#   bench_wirra: reader + decoder throughput against Debian's gpsdecode on the same NMEA bytes, and the
#                latency from a byte on a pseudo-terminal to the message in the queue / at the window.
#   bench_xml:   a 24 MB document against pugixml and libxml2: index build from text in memory, and end to end
#                from the UTF-8 file on disk to a navigable document; end tags that match no open element
#                against the same file with matching ones.
#   bench_satellites: message 99 to the sky page's finished image, against the same picture drawn
#                straight on the window and a blank page through the same repaint path.
#   bench_cors:  caster-to-serial forwarding latency of the CORS page against str2str, 5 kB/s for 60 s.
set -euo pipefail
BUILD=${1:-build}
cmake --build "$BUILD" --target bench_wirra bench_xml bench_satellites bench_cors >/dev/null
echo "== receiver link: $BUILD/bench/wirra/bench_wirra"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/wirra/bench_wirra"
echo
echo "== XML engine: $BUILD/bench/xml/bench_xml 24 7"
"$BUILD/bench/xml/bench_xml" 24 7
echo
echo "== satellite views: $BUILD/bench/satellites/bench_satellites"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/satellites/bench_satellites"
echo
echo "== CORS forwarding: $BUILD/bench/cors/bench_cors --seconds 60"
QT_QPA_PLATFORM=offscreen "$BUILD/bench/cors/bench_cors" --seconds 60
