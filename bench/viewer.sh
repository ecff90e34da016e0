#!/usr/bin/env bash
# Opens the main window offscreen on a database of one record and on one of N generated
# records (default 100000), and prints for each run
#   records=<n> first_paint_ms=<n> scroll_end_ms=<n> rss_mb=<n> rows=<n>
# and then the ratios of the large run to the small one:
#   ratio first_paint=<large/small> rss=<large/small>
# Each database is opened RUNS times (default 3) after one unmeasured opening (which builds
# its index file); the fastest opening counts, as the machine may be busy with other work.
#   bench/viewer.sh [N [RUNS]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
n=${1:-100000}
runs=${2:-3}
build=${REELVANE_BENCH_BUILD:-$root/build-bench-gui}
out=$root/bench/out
mkdir -p "$out"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target reelvane-gen reelvane-engine-bench reelvane-viewer-bench -j"$(nproc)" >/dev/null

# database <records>: the path of a generated database of that many records.
database() {
  local db=$out/VIEWER$1.DBF
  if [ ! -f "$db" ]; then
    "$build/bench/reelvane-gen" "$1" -o "$out/viewer$1.csv"
    "$build/bench/reelvane-engine-bench" create "$out/viewer$1.csv" "$db" >/dev/null
  fi
  echo "$db"
}

# measure <records>: the fastest of the runs, as the viewer bench prints it.
measure() {
  local db line best="" best_ms=""
  db=$(database "$1")
  QT_QPA_PLATFORM=offscreen "$build/bench/reelvane-viewer-bench" "$db" >/dev/null
  for _ in $(seq "$runs"); do
    line=$(QT_QPA_PLATFORM=offscreen "$build/bench/reelvane-viewer-bench" "$db")
    ms=$(sed -n 's/.*first_paint_ms=\([0-9]*\).*/\1/p' <<<"$line")
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; best=$line; fi
  done
  echo "records=$1 $best"
}

field() { sed -n "s/.*$1=\([0-9]*\).*/\1/p" <<<"$2"; }

small=$(measure 1)
large=$(measure "$n")
echo "$small"
echo "$large"
awk -v a="$(field first_paint_ms "$large")" -v b="$(field first_paint_ms "$small")" \
    -v c="$(field rss_mb "$large")" -v d="$(field rss_mb "$small")" \
    'BEGIN { printf "ratio first_paint=%.2f rss=%.2f\n", (b > 0 ? a / b : 0), (d > 0 ? c / d : 0) }'
