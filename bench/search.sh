#!/usr/bin/env bash
# Search by form and locate against sqlite3 on the same generated collection, in the same run:
#   bench/search.sh [N]          (N records, default 100000)
# Prints: <operation> ours=<seconds> sqlite=<seconds> ratio=<ours/sqlite>
#   search  level 1 Title contains NIGHT and Category contains DRAMA, level 2 Year 1951-1959,
#           counted through the record filter   | the same WHERE, a full scan, count(*)
#   locate  the title that sorts last, exactly and in any case, walking the table in title
#           order from the first record          | WHERE upper(title) = .. ORDER BY upper(title) LIMIT 1
# Both sides time the query alone on an open database (ours in the process, sqlite3 by its
# .timer); each figure is the best of three runs.
set -euo pipefail
n=${1:-100000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REELVANE_BENCH_BUILD:-$root/build-bench}
command -v sqlite3 >/dev/null || { echo "search.sh: sqlite3 is not installed (apt-get install sqlite3)" >&2; exit 1; }
mkdir -p "$build"
if ! { [ -f "$build/CMakeCache.txt" ] ||
       cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_GUI=OFF -DREELVANE_TESTS=OFF; } >"$build/search-build.log" 2>&1 ||
   ! cmake --build "$build" --target reelvane-gen reelvane-engine-bench -j2 >>"$build/search-build.log" 2>&1; then
  cat "$build/search-build.log" >&2
  exit 1
fi
ours=$build/bench/reelvane-engine-bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/reelvane-gen" "$n" -o "$work/videos.csv"
"$ours" create "$work/videos.csv" "$work/VIDEOS.DBF" >/dev/null

columns="title,star1,star2,star3,star4,star5,star6,producer,director,releasedby,year INTEGER,runtime INTEGER,rating,\
category,picture,sound,format,personalra,medianum,recspeed,countersta,countersto,descriptio,content,miscellane,\
keywords,laserforma,listprice REAL,oscarnom,oscaraward,checkout,checkdate,checkname,purchprice REAL,purchdate,\
wherepurch,viewed,writers,userdef1,userdef2"
sq=$work/videos.sqlite
sqlite3 "$sq" "CREATE TABLE v($columns);"
sqlite3 "$sq" ".import --csv --skip 1 $work/videos.csv v"

# best <command...>: the smallest "seconds" figure of three runs of an engine-bench command.
best() {
  for _ in 1 2 3; do "$@"; done | awk '{ for (i = 1; i < NF; ++i) if ($i == "seconds") print $(i + 1) }' |
    sort -g | head -1
}
# sqlite_best SQL: the smallest real time sqlite3 reports for the query over three runs.
sqlite_best() {
  for _ in 1 2 3; do printf '.timer on\n%s\n' "$1" | sqlite3 "$sq"; done | awk '/^Run Time:/ { print $4 }' |
    sort -g | head -1
}
report() {
  awk -v op="$1" -v o="$2" -v s="$3" 'BEGIN { printf "%s ours=%.4f sqlite=%.4f ratio=%.2f\n", op, o, s, (s > 0 ? o / s : 0) }'
}

where="upper(title) LIKE '%NIGHT%' AND upper(category) LIKE '%DRAMA%' OR year > 1950 AND year < 1960"
ours_count=$("$ours" search "$work/VIDEOS.DBF" | awk '{ print $2 }')
sqlite_count=$(sqlite3 "$sq" "SELECT count(*) FROM v WHERE $where;")
[ "$ours_count" = "$sqlite_count" ] || echo "search.sh: counts differ: ours $ours_count, sqlite $sqlite_count" >&2
report search "$(best "$ours" search "$work/VIDEOS.DBF")" "$(sqlite_best "SELECT count(*) FROM v WHERE $where;")"

last=$(sqlite3 "$sq" "SELECT title FROM v ORDER BY upper(title) DESC LIMIT 1;")
quoted=${last//\'/\'\'}
report locate "$(best "$ours" locate "$work/VIDEOS.DBF" "$last")" \
  "$(sqlite_best "SELECT rowid FROM v WHERE upper(title) = upper('$quoted') ORDER BY upper(title), rowid LIMIT 1;")"
echo "search: $ours_count of $n records match; locate: \"$last\""
