#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, only those missing.
#   scripts/deps.sh run|test
set -euo pipefail
need=(cmake g++ make qt6-base-dev libgl-dev fonts-liberation)
if [ "${1:-run}" = test ]; then
  need+=(libgtest-dev gdal-bin shapelib sqlite3 libdbd-xbase-perl locales)
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The tests run a second time under a decimal-comma locale.
if [ "${1:-run}" = test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the locale de_DE.UTF-8"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
