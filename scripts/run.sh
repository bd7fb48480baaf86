#!/usr/bin/env bash
# Runs the program under Wine from build/app: sets up and builds if needed,
# makes the default flash.mdb there when it is missing, then starts
# qinglan.exe and waits for it to end.
#
#   scripts/run.sh [--no-setup]
#
# The window shows on $DISPLAY, or on the checkout's own Xvfb screen when
# there is none (look at it with: . scripts/env.sh; import -window root shot.png).
# Movies for a new flash.mdb come from $QL_MOVIES (one sub-folder per
# category) when that is set.
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
  if [ -n "${QL_MOVIES:-}" ]; then arguments+=(--movies "$(windows_path "$QL_MOVIES")"); fi
  wine "$QL_WIN32_BUILD/tools/mkdb/mkdb.exe" "${arguments[@]}" \
    "$(windows_path "$QL_APP/flash.mdb")" </dev/null
fi

echo "run.sh: starting $QL_APP/qinglan.exe on display $DISPLAY"
cd "$QL_APP"
exec wine qinglan.exe
