#!/usr/bin/env bash
# Runs the program under Wine from its folder ($QL_APP: build/app for the
# 32-bit program, build/app64 for the 64-bit one on hosts that cannot run
# 32-bit programs): sets up and builds if needed, makes the default flash.mdb
# there when it is missing, then starts qinglan.exe and waits for it to end.
#
#   scripts/run.sh [--no-setup]
#
# The window shows on $DISPLAY, or on the checkout's own Xvfb screen when
# there is none (look at it with: . scripts/env.sh; import -window root shot.png).
# The catalogue of a new flash.mdb is filled from $QL_MOVIES (one sub-folder
# per category), by default from the shipped movies the native build writes.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${1:-}" != --no-setup ]; then
  "$ROOT/scripts/setup.sh"
fi
# shellcheck source=scripts/env.sh
. "$ROOT/scripts/env.sh"

windows_path() { local path="$1"; printf 'Z:%s' "${path//\//\\}"; }

if [ ! -f "$QL_APP/flash.mdb" ]; then
  arguments=()
  movies="${QL_MOVIES:-$QL_NATIVE_BUILD/catalogue}"
  if [ -d "$movies" ]; then arguments+=(--movies "$(windows_path "$movies")"); fi
  "$QL_WINE" "$QL_WIN_BUILD/tools/mkdb/mkdb.exe" "${arguments[@]}" \
    "$(windows_path "$QL_APP/flash.mdb")" </dev/null
fi

echo "run.sh: starting $QL_APP/qinglan.exe ($QL_ARCH) on display $DISPLAY"
cd "$QL_APP"
exec "$QL_WINE" qinglan.exe
