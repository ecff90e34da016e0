#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the full build with every test, the same
# tests again under a decimal-comma locale (de_DE.UTF-8), then the core and its tests again
# under AddressSanitizer + UndefinedBehaviorSanitizer.
#   ./test.sh
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc)
"$root/scripts/deps.sh" test
werror=OFF
[ -n "${CI:-}" ] && werror=ON

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREELVANE_WERROR=$werror >/dev/null
cmake --build "$root/build" -j"$jobs"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")
# Once more under a decimal-comma locale: numbers in files must not follow it.
(cd "$root/build" && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j"$jobs")

cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DREELVANE_GUI=OFF -DREELVANE_BENCH=OFF \
  -DREELVANE_SANITIZE=ON -DREELVANE_WERROR=$werror >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")
