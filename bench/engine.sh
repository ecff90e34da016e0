#!/usr/bin/env bash
# The table engine against sqlite3 on the same generated collection, in the same run:
#   bench/engine.sh [N]          (N records, default 100000)
# Prints one line per operation: <operation> ours=<seconds> sqlite=<seconds> ratio=<ours/sqlite>
#   create+append  a new video table with every record appended  | .import into a 40-column table
#   index          NewIndex on Upper(Left(Title,40))+STR(Year,12,0) | CREATE INDEX on (upper(substr(title,1,40)), year)
#   walk           every field of every record in index order      | SELECT * in index order
#   delete+pack    every tenth record deleted, then packed          | DELETE + VACUUM
set -euo pipefail
n=${1:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REELVANE_BENCH_BUILD:-$root/build-bench}
command -v sqlite3 >/dev/null || { echo "engine.sh: sqlite3 is not installed (apt-get install sqlite3)" >&2; exit 1; }
mkdir -p "$build"
if ! { [ -f "$build/CMakeCache.txt" ] ||
       cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_GUI=OFF -DREELVANE_TESTS=OFF; } >"$build/engine-build.log" 2>&1 ||
   ! cmake --build "$build" --target reelvane-gen reelvane-engine-bench -j2 >>"$build/engine-build.log" 2>&1; then
  cat "$build/engine-build.log" >&2
  exit 1
fi
ours=$build/bench/reelvane-engine-bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/reelvane-gen" "$n" -o "$work/videos.csv"

columns="title,star1,star2,star3,star4,star5,star6,producer,director,releasedby,year,runtime,rating,category,\
picture,sound,format,personalra,medianum,recspeed,countersta,countersto,descriptio,content,miscellane,keywords,\
laserforma,listprice,oscarnom,oscaraward,checkout,checkdate,checkname,purchprice,purchdate,wherepurch,viewed,\
writers,userdef1,userdef2"
order="upper(substr(title,1,40)), year"

now() { date +%s%N; }
# seconds <command...>: runs the command (output discarded) and prints its wall time.
seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
report() {
  awk -v op="$1" -v o="$2" -v s="$3" 'BEGIN { printf "%s ours=%s sqlite=%s ratio=%.2f\n", op, o, s, (s > 0 ? o / s : 0) }'
}

db=$work/VIDEOS.DBF
sq=$work/videos.sqlite
sqlite_import() {
  sqlite3 "$sq" "CREATE TABLE v($columns);" &&
    sqlite3 "$sq" ".import --csv --skip 1 $work/videos.csv v"
}

report create+append "$(seconds "$ours" create "$work/videos.csv" "$db")" "$(seconds sqlite_import)"
report index "$(seconds "$ours" index "$db")" "$(seconds sqlite3 "$sq" "CREATE INDEX ix ON v($order);")"
report walk "$(seconds "$ours" walk "$db")" "$(seconds sqlite3 "$sq" "SELECT * FROM v ORDER BY $order;")"
report delete+pack "$(seconds "$ours" pack "$db")" \
  "$(seconds sqlite3 "$sq" "DELETE FROM v WHERE rowid % 10 = 0; VACUUM;")"
