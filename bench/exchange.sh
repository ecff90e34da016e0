#!/usr/bin/env bash
# Import and export against sqlite3 and GDAL on the same generated collection, in the same run:
#   bench/exchange.sh [N]        (N records, default 100000)
# Prints one line per operation: <operation> ours=<seconds> <other>=<seconds> ratio=<ours/other>
#   import      reelvane-cli import of the CSV into a new video table | sqlite3 .import into a 40-column table
#   export      reelvane-cli export of all 40 fields to quoted text   | sqlite3 .mode csv of SELECT *
#   export-dbf  reelvane-cli export --dbf to a new dBase table        | ogr2ogr -f "ESRI Shapefile" of the CSV
set -euo pipefail
n=${1:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REELVANE_BENCH_BUILD:-$root/build-bench}
for tool in sqlite3 ogr2ogr; do
  command -v $tool >/dev/null ||
    { echo "exchange.sh: $tool is not installed (apt-get install sqlite3 gdal-bin)" >&2; exit 1; }
done
mkdir -p "$build"
if ! { [ -f "$build/CMakeCache.txt" ] ||
       cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_GUI=OFF -DREELVANE_TESTS=OFF; } >"$build/exchange-build.log" 2>&1 ||
   ! cmake --build "$build" --target reelvane-gen reelvane-cli -j2 >>"$build/exchange-build.log" 2>&1; then
  cat "$build/exchange-build.log" >&2
  exit 1
fi
cli=$build/src/cli/reelvane-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A private program and configuration folder: default settings, date format m/d/yy.
export REELVANE_PROGRAM_DIR=$work REELVANE_CONFIG_DIR=$work
"$build/bench/reelvane-gen" "$n" -o "$work/videos.csv"
# The same file with UTF-8 text for the tools that read it so.
iconv -f WINDOWS-1252 -t UTF-8 "$work/videos.csv" >"$work/videos-utf8.csv"

columns="title,star1,star2,star3,star4,star5,star6,producer,director,releasedby,year,runtime,rating,category,\
picture,sound,format,personalra,medianum,recspeed,countersta,countersto,descriptio,content,miscellane,keywords,\
laserforma,listprice,oscarnom,oscaraward,checkout,checkdate,checkname,purchprice,purchdate,wherepurch,viewed,\
writers,userdef1,userdef2"
all=$(seq -s, 1 40)

now() { date +%s%N; }
seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
report() {
  awk -v op="$1" -v o="$2" -v name="$3" -v s="$4" \
    'BEGIN { printf "%s ours=%s %s=%s ratio=%.2f\n", op, o, name, s, (s > 0 ? o / s : 0) }'
}

db=$work/VIDEOS.DBF
sq=$work/videos.sqlite
"$cli" create "$db"
sqlite_import() {
  sqlite3 "$sq" "CREATE TABLE v($columns);" &&
    sqlite3 "$sq" ".import --csv --skip 1 $work/videos.csv v"
}
ours_import=$(seconds "$cli" import "$db" "$work/videos.csv" --skip-first)
count=$("$cli" info "$db" | awk '/^records:/ { print $2 }')
[ "$count" = "$n" ] || { echo "exchange.sh: imported $count records, not $n" >&2; exit 1; }
report import "$ours_import" sqlite "$(seconds sqlite_import)"

report export "$(seconds "$cli" export "$db" "$work/out.txt" --fields "$all" --no-titles)" \
  sqlite "$(seconds sqlite3 -csv -cmd ".output $work/sqlite.csv" "$sq" "SELECT * FROM v;")"

report export-dbf "$(seconds "$cli" export "$db" "$work/OUT.DBF" --dbf --fields "$all")" \
  ogr2ogr "$(seconds ogr2ogr -q -f "ESRI Shapefile" "$work/ogr.dbf" "$work/videos-utf8.csv" 2>/dev/null)"
