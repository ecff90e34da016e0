#!/usr/bin/env bash
# Backup and restore of the database against cp + sync on the same generated collection:
#   bench/backup.sh [N]          (N records, default 100000)
# Prints one line per operation: <operation> ours=<seconds> cp=<seconds> ratio=<ours/cp>
#   backup   reelvane-cli backup --what db into a folder (exclusive-use test, temporary file,
#            fsync, rename)                                  | cp of the .DBF and sync of the copy
#   restore  reelvane-cli restore --what db over the current database (check, exclusive-use
#            test, copy as above, NewIndex rebuilt on Title) | cp back and sync
set -euo pipefail
n=${1:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REELVANE_BENCH_BUILD:-$root/build-bench}
mkdir -p "$build"
if ! { [ -f "$build/CMakeCache.txt" ] ||
       cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_GUI=OFF -DREELVANE_TESTS=OFF; } >"$build/backup-build.log" 2>&1 ||
   ! cmake --build "$build" --target reelvane-gen reelvane-engine-bench reelvane-cli -j2 >>"$build/backup-build.log" 2>&1; then
  cat "$build/backup-build.log" >&2
  exit 1
fi
cli=$build/src/cli/reelvane-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/config" "$work/medium" "$work/plain"
export REELVANE_PROGRAM_DIR=$work/program REELVANE_CONFIG_DIR=$work/config
"$build/bench/reelvane-gen" "$n" -o "$work/videos.csv"
db=$work/program/VIDEOS.DBF
"$build/bench/reelvane-engine-bench" create "$work/videos.csv" "$db" >/dev/null
printf '[Sort Order]\r\nPrimary Sort=1\r\n' >"$work/program/VIDEOS.INI"

now() { date +%s%N; }
seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
report() {
  awk -v op="$1" -v o="$2" -v c="$3" 'BEGIN { printf "%s ours=%s cp=%s ratio=%.2f\n", op, o, c, (c > 0 ? o / c : 0) }'
}
plain_copy() { cp "$1" "$2" && sync "$2"; }

report backup "$(seconds "$cli" backup "$db" --what db "$work/medium")" \
  "$(seconds plain_copy "$db" "$work/plain/VIDEOS.DBF")"
report restore "$(seconds "$cli" restore --what db "$work/medium/VIDEOS.DBF" --db "$db")" \
  "$(seconds plain_copy "$work/plain/VIDEOS.DBF" "$db")"
echo "size_mb=$(awk -v b="$(stat -c %s "$db")" 'BEGIN { printf "%.1f", b / 1048576 }')"
