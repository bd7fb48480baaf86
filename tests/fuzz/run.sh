#!/bin/sh
# run.sh SECONDS [JOBS]
#   Builds the libFuzzer harness over the SWF engine (clang, address and
#   undefined-behaviour checks) into build/fuzz and runs it for SECONDS.
#   New inputs go to build/fuzz/corpus; tests/fuzz/corpus and the scripted
#   movies of the reference suite beside the repository (gathered into
#   build/fuzz/seeds) are only read.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
seconds=${1:-60}
mkdir -p "$out/corpus" "$out/crashes" "$out/seeds"
suite="$root/../shared/swf-suite/avm1"
if [ -d "$suite" ]; then
  for movie in "$suite"/*/test.swf; do
    cp -n "$movie" "$out/seeds/$(basename "$(dirname "$movie")").swf"
  done
fi

flags="-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root/src -isystem /usr/include/stb"
# The engine without the native hosts' font and MP3 libraries.
sources="$root/tests/fuzz/fuzz_player.cpp $(ls "$root"/src/player/swf/*.cpp "$root"/src/player/core/*.cpp "$root"/src/player/avm1/*.cpp "$root"/src/player/render/*.cpp "$root"/src/player/text/*.cpp "$root"/src/player/sound/*.cpp | grep -v -e freetype_fonts -e mpg123_codec)"
newest=$(ls -t $sources "$root"/src/player/*/*.h | head -1)
if [ ! -x "$out/fuzz_player" ] || [ "$newest" -nt "$out/fuzz_player" ]; then
  echo "building $out/fuzz_player" >&2
  clang++ $flags $sources -lz -o "$out/fuzz_player"
fi

cd "$out"
exec ./fuzz_player -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$out/crashes/" -print_final_stats=1 "$out/corpus" "$root/tests/fuzz/corpus" "$out/seeds"
