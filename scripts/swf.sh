#!/bin/sh
# swf.sh render MOVIE.swf N OUT.png [--low] [--size WxH] [--font FILE]...
#   Renders the stage after frame N (counted from 1; timeline and frame
#   scripts run as in the player) at the movie's stage size with its
#   background colour into a PNG. --low draws without smoothing, --size
#   scales the stage into another picture size ("show all"), --font adds a
#   font file for text in system fonts (the installed Chinese ones serve
#   otherwise).
# Builds the native renderer into build/native on first use.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/native"

usage() {
  echo "usage: $0 render MOVIE.swf N OUT.png [--low] [--size WxH] [--font FILE]..." >&2
  exit 2
}

[ "$1" = render ] || usage
[ $# -ge 4 ] || usage
shift
movie=$1 frames=$2 out=$3
shift 3
case "$frames" in
  ''|*[!0-9]*) usage ;;
esac

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >&2
fi
# Quiet when up to date; rebuilds after engine changes.
cmake --build "$build" --target swf-render -j2 >/dev/null || cmake --build "$build" --target swf-render -j2 >&2

exec "$build/tools/swf-render/swf-render" "$movie" "$frames" "$out" "$@"
