#!/usr/bin/env bash
# Sets everything up and starts Reelvane Videos 97 on its default database.
#   ./run.sh [/BROWSE]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh" run
cmake -S "$root" -B "$root/build-run" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREELVANE_TESTS=OFF >/dev/null
cmake --build "$root/build-run" --target reelvane -j"$(nproc)"
exec "$root/build-run/src/gui/reelvane" "$@"
