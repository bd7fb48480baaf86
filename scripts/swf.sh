#!/bin/sh
# swf.sh render MOVIE.swf N OUT.png [--low] [--size WxH] [--font FILE]...
#   Renders the stage after frame N (counted from 1; timeline and frame
#   scripts run as in the player) at the movie's stage size with its
#   background colour into a PNG. --low draws without smoothing, --size
#   scales the stage into another picture size ("show all"), --font adds a
#   font file for text in system fonts (the installed Chinese ones serve
#   otherwise).
# swf.sh trace MOVIE.swf N [--codepage CP]
#   Runs N frames without a window and prints the movie's trace() lines in
#   UTF-8. SWF_FIXED_CLOCK=1 gives the movie the reference suite's fixed
#   clock; --codepage is the code page of SWF 5 text (default: the system's).
# Builds the native tools into build/native on first use.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/native"

usage() {
  echo "usage: $0 render MOVIE.swf N OUT.png [--low] [--size WxH] [--font FILE]..." >&2
  echo "       $0 trace MOVIE.swf N [--codepage CP]" >&2
  exit 2
}

command=$1
case "$command" in
  render) [ $# -ge 4 ] || usage ;;
  trace) [ $# -ge 3 ] || usage ;;
  *) usage ;;
esac
shift
case "$2" in
  ''|*[!0-9]*) usage ;;
esac

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" >&2
fi
tool=swf-$command
# Quiet when up to date; rebuilds after engine changes.
cmake --build "$build" --target "$tool" -j2 >/dev/null || cmake --build "$build" --target "$tool" -j2 >&2

exec "$build/tools/$tool/$tool" "$@"
