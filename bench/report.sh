#!/usr/bin/env bash
# Reports against other tools on the same generated collection, in the same run:
#   bench/report.sh [N]          (N records, default 20000)
# Prints, for the "Large Report" in title order:
#   report-text ours=<s> sqlite=<s> ratio=<r> pages=<n>
#       reelvane-cli report --text   | sqlite3 writing the same records as fixed-width text
#                                      (SELECT printf(...) ... ORDER BY upper(title) into a file)
#   report-pdf ours=<s> enscript=<s> ratio=<r> pages=<ours>/<enscript>
#       reelvane-cli report --pdf    | enscript + ps2pdf turning our own text output into a PDF
# A line whose other tool is missing says so and names the package to install.
set -euo pipefail
n=${1:-20000}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${REELVANE_BENCH_BUILD:-$root/build-bench-gui}
mkdir -p "$build"
if ! { [ -f "$build/CMakeCache.txt" ] ||
       cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DREELVANE_TESTS=OFF; } >"$build/report-build.log" 2>&1 ||
   ! cmake --build "$build" --target reelvane-gen reelvane-engine-bench reelvane-cli -j2 >>"$build/report-build.log" 2>&1; then
  cat "$build/report-build.log" >&2
  exit 1
fi
cli=$build/src/cli/reelvane-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export REELVANE_PROGRAM_DIR=$work/program REELVANE_CONFIG_DIR=$work/config
mkdir -p "$REELVANE_PROGRAM_DIR" "$REELVANE_CONFIG_DIR"
"$cli" reports >/dev/null
"$build/bench/reelvane-gen" "$n" -o "$work/videos.csv"
"$build/bench/reelvane-engine-bench" create "$work/videos.csv" "$work/VIDEOS.DBF" >/dev/null

now() { date +%s%N; }
seconds() {  # seconds <command...>: wall time of the command, its output discarded
  local start end
  start=$(now)
  "$@" >/dev/null 2>&1
  end=$(now)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
ratio() { awk -v o="$1" -v s="$2" 'BEGIN { printf "%.2f", (s > 0 ? o / s : 0) }'; }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

ours_text=$(seconds "$cli" report "$work/VIDEOS.DBF" "Large Report" --sort 1 --text "$work/ours.txt")
text_pages=$(grep -c $'\f' "$work/ours.txt" || true)
if command -v sqlite3 >/dev/null; then
  columns="title,star1,star2,star3,star4,star5,star6,producer,director,releasedby,year,runtime,rating,category,\
picture,sound,format,personalra,medianum,recspeed,countersta,countersto,descriptio,content,miscellane,keywords,\
laserforma,listprice,oscarnom,oscaraward,checkout,checkdate,checkname,purchprice,purchdate,wherepurch,viewed,\
writers,userdef1,userdef2"
  sqlite3 "$work/v.sqlite" "CREATE TABLE v($columns);"
  sqlite3 "$work/v.sqlite" ".import --csv --skip 1 $work/videos.csv v"
  nl="char(13,10)"
  query="SELECT printf('%13s %-10.10s%10s %-60.60s%8s %-4.4s', 'Media Number:', medianum, 'Title:', title, 'Year:', year)
    || $nl || printf('%6s %-25.25s    %-25.25s    %-25.25s    %-25.25s', 'Stars:', star1, star2, star3, star4)
    || $nl || printf('%9s %-28.28s%11s %-28.28s%14s %-37.37s', 'Producer:', producer, 'Director:', director, 'Released By:', releasedby)
    || $nl || printf('%9s %-20.20s%9s %-15.15s%18s %-15.15s%10s %-10.10s', 'Category:', category, 'Rating:', rating, 'Personal Rating:', personalra, 'Content:', content)
    || $nl || printf('%10s %-3.3s%10s %-5.5s%8s %-6.6s%9s %-10.10s%16s %-3.3s%15s %-12.12s', 'Play Time:', runtime, 'Picture:', picture, 'Sound:', sound, 'Format:', format, 'Record Speed:', recspeed, 'Laser Format:', laserforma)
    || $nl || printf('%14s %-10.10s%15s %-10.10s%13s %-20.20s', 'Counter Start:', countersta, 'Counter Stop:', countersto, 'List Price:', listprice)
    || $nl || printf('%10s %-80.80s', 'Key Words:', keywords)
    || $nl || printf('%14s %-80.80s', 'Miscellaneous:', miscellane)
    || $nl || printf('%8s %-110.110s', 'Summary:', descriptio)
    || $nl || printf('%10s %-109.109s', 'Oscar Nom:', oscarnom)
    || $nl || printf('%12s %-107.107s', 'Oscar Award:', oscaraward) || $nl
    FROM v ORDER BY upper(title);"
  sqlite_text() { sqlite3 "$work/v.sqlite" "$query" >"$work/sqlite.txt"; }
  sq=$(seconds sqlite_text)
  echo "report-text ours=$ours_text sqlite=$sq ratio=$(ratio "$ours_text" "$sq") pages=$text_pages"
else
  echo "report-text ours=$ours_text sqlite=missing pages=$text_pages (install sqlite3: apt-get install sqlite3)"
fi

ours_pdf=$(seconds "$cli" report "$work/VIDEOS.DBF" "Large Report" --sort 1 --pdf "$work/ours.pdf")
if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
  enscript_pdf() { enscript -B -q -p - "$work/ours.txt" | ps2pdf - "$work/enscript.pdf"; }
  en=$(seconds enscript_pdf)
  echo "report-pdf ours=$ours_pdf enscript=$en ratio=$(ratio "$ours_pdf" "$en") pages=$(pages "$work/ours.pdf")/$(pages "$work/enscript.pdf")"
else
  missing=""
  command -v enscript >/dev/null || missing="enscript"
  command -v ps2pdf >/dev/null || missing="$missing ghostscript"
  echo "report-pdf ours=$ours_pdf enscript=missing pages=$(pages "$work/ours.pdf") (install:$missing; apt-get install enscript ghostscript)"
fi
