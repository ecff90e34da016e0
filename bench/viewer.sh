#!/usr/bin/env bash
# Opens the main window offscreen on a database of N generated records (default 100000)
# and prints first_paint_ms=<n> scroll_end_ms=<n> rss_mb=<n>, then the same with a search in
# force (Title contains NIGHT, --where Title=night; override with WHERE=FIELD=CRITERION).
#   bench/viewer.sh [N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-100000}
build=${REELVANE_BENCH_BUILD:-$root/build-bench-gui}
out=$root/bench/out
mkdir -p "$out"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target reelvane-gen reelvane-engine-bench reelvane-viewer-bench -j"$(nproc)" >/dev/null
db=$out/VIEWER$n.DBF
if [ ! -f "$db" ]; then
  "$build/bench/reelvane-gen" "$n" -o "$out/viewer$n.csv"
  "$build/bench/reelvane-engine-bench" create "$out/viewer$n.csv" "$db"
fi
# The first run after generating builds the index file; time the usual start, with it there.
QT_QPA_PLATFORM=offscreen "$build/bench/reelvane-viewer-bench" "$db" >/dev/null
echo "all: $(QT_QPA_PLATFORM=offscreen "$build/bench/reelvane-viewer-bench" "$db")"
echo "where: $(QT_QPA_PLATFORM=offscreen "$build/bench/reelvane-viewer-bench" "$db" --where "${WHERE:-Title=night}")"
