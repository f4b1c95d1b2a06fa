#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine, headless and quiet:
# CTest's emulator for the Windows build (see mingw64.cmake). The Wine prefix
# is $WINEPREFIX when set, else build-win/wine beside this build's programs.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX
  WINEPREFIX="$(cd "$(dirname "$1")/.." && pwd)/wine"
fi
export WINEDEBUG=${WINEDEBUG:--all}
source "$(dirname "$0")/host-tools.sh"
wine=$(host_wine)
exec "$wine" "$@"
