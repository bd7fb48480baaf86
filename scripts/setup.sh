#!/usr/bin/env bash
# Makes this machine ready to build, run and test the program (Debian 12):
#   1. the packages (as root); Wine's 32-bit half and the i386 ODBC packages
#      only where this host can run 32-bit programs,
#   2. the zh_CN.UTF-8 locale (Wine takes code page 936 from it),
#   3. the builds: build/native (unit tests, the ODBC stand-in), build/win32
#      (the 32-bit program into build/app) and build/win64 (the 64-bit one
#      into build/app64), each with its tools and test programs,
#   4. a Wine prefix under build/ for the build that runs here ($QL_ARCH),
#      set up for Chinese text.
# Safe to run again; quick when everything is in place.
# With CI=true, warnings fail the build. --no-build leaves step 3 out.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/host.sh
. "$ROOT/scripts/host.sh"

NATIVE_ARCH="$(dpkg --print-architecture)"
PACKAGES=(
  # Cross and native toolchains, libraries of both builds
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format
  googletest libgtest-dev libgmock-dev libbenchmark-dev libstb-dev zlib1g-dev
  # The native tools' and tests' stand-ins for the player library's system
  # parts: device fonts (FreeType), MP3 decoding (mpg123); MP3 test sounds (LAME)
  libfreetype-dev libmpg123-dev libmp3lame-dev
  # Wine's 64-bit half, a virtual screen and tools to look at it
  wine wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-wqy-microhei locales
  # ODBC: the driver manager and the SQLite driver behind the Access stand-in.
  # The host's own odbcinst serves the i386 driver packages too.
  unixodbc unixodbc-dev "odbcinst:$NATIVE_ARCH" libsqliteodbc sqlite3
  # Scripts, tests, the picture generator and the sound makers
  python3 python3-pil espeak-ng sox
)
# Only where the host runs 32-bit programs: Wine's 32-bit half, the i386
# stand-in's driver and compiler. None of them may replace a tool of the
# host's own architecture (checked below).
PACKAGES_I386=(wine32:i386 libsqliteodbc:i386 libodbc2:i386 gcc-multilib g++-multilib)

log() { printf 'setup: %s\n' "$*"; }

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'
}

# A foreign-architecture package marked Multi-Arch "foreign" replaces the
# host's own package of that name (odbcinst:i386 took /usr/bin/odbcinst and
# broke the driver packages' install scripts): never install one.
refuse_replacing_packages() {
  local package
  for package in "$@"; do
    case "$package" in *:"$NATIVE_ARCH") continue ;; *:*) ;; *) continue ;; esac
    if apt-cache show --no-all-versions "$package" 2>/dev/null | grep -qx 'Multi-Arch: foreign'; then
      log "refusing $package: it would replace the host's own ${package%%:*}"
      exit 1
    fi
  done
}

# Ends the run when apt or dpkg did not finish cleanly, naming the packages.
check_package_system() {
  local apt_code="$1" apt_log="$2" broken
  broken=$(dpkg --audit 2>/dev/null | sed -n 's/^ \([^ ]\+\) .*/\1/p' | sort -u | tr '\n' ' ')
  if [ -n "$broken" ]; then
    # One repair attempt: configure what was left unconfigured.
    dpkg --configure -a >>"$apt_log" 2>&1 || true
    broken=$(dpkg --audit 2>/dev/null | sed -n 's/^ \([^ ]\+\) .*/\1/p' | sort -u | tr '\n' ' ')
  fi
  if [ "$apt_code" -ne 0 ] || [ -n "$broken" ]; then
    local failed
    failed=$(sed -n '/^Errors were encountered while processing:/,$ s/^ \+\([^ ]\+\)$/\1/p' "$apt_log" | tr '\n' ' ')
    log "apt-get ended with code $apt_code; failed: ${failed:-${broken:-see $apt_log}} (log: $apt_log)"
    exit 1
  fi
}

install_packages() {
  local wanted=("${PACKAGES[@]}") missing=() package
  if [ "$HOST_RUNS_I386" = yes ]; then wanted+=("${PACKAGES_I386[@]}"); fi
  for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages (run as root to install): ${missing[*]}"
    exit 1
  fi
  log "installing ${missing[*]}"
  if [ "$HOST_RUNS_I386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  local apt_log="$ROOT/build/apt.log" code=0
  apt-get update -q >"$apt_log" 2>&1 || code=$?
  if [ $code -ne 0 ]; then
    log "apt-get update failed (log: $apt_log)"
    exit 1
  fi
  refuse_replacing_packages "${missing[@]}"
  apt-get install -y -q --no-install-recommends "${missing[@]}" >>"$apt_log" 2>&1 || code=$?
  check_package_system "$code" "$apt_log"
}

ensure_locale() {
  if locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then return 0; fi
  if [ "$(id -u)" -ne 0 ]; then
    log "the zh_CN.UTF-8 locale is missing (run as root to generate it)"
    exit 1
  fi
  log "generating the zh_CN.UTF-8 locale"
  if grep -q '^# *zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  fi
  locale-gen
}

# Configures (again: new folders may have joined the tree) and builds one tree.
build_tree() {
  local folder="$1"
  shift
  local options=("$@")
  if [ "${CI:-}" = true ]; then options+=(-DQL_WERROR=ON); fi
  # A tree keeps the generator it was first made with.
  if [ ! -f "$folder/CMakeCache.txt" ] && command -v ninja >/dev/null; then
    options+=(-G Ninja)
  fi
  LC_MESSAGES=C.UTF-8 cmake -S "$ROOT" -B "$folder" "${options[@]}" >"$folder.configure.log" 2>&1 || {
    cat "$folder.configure.log"
    log "configuring $folder failed"
    exit 1
  }
  # Compiler messages in English, whatever the locale Wine needs.
  LC_MESSAGES=C.UTF-8 cmake --build "$folder" -j2 || {
    log "building $folder failed"
    exit 1
  }
}

# Bump when the prefix recipe below changes, so existing prefixes get it too.
PREFIX_RECIPE=2

wine_major_version() {
  "$QL_WINE" --version 2>/dev/null | sed -n 's/^wine-\([0-9]*\).*/\1/p'
}

prepare_prefix() {
  local setup_library="$QL_WIN_BUILD/tools/odbc-standin/setup/access-setup.dll"
  local stamp="$WINEPREFIX/.ql-prefix"
  local recipe="recipe=$PREFIX_RECIPE setup=$setup_library"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then return 0; fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "making the $WINEARCH Wine prefix $WINEPREFIX"
    # WINEDLLOVERRIDES (env.sh) keeps wineboot from asking for Mono and Gecko.
    "$QL_WINE" wineboot -i >"$QL_BUILD/wineboot-$QL_ARCH.log" 2>&1
  fi
  log "configuring the Wine prefix"
  # GDI+ finds "宋体" only through a replacement; the program asks for it by name.
  local face
  for face in 宋体 SimSun; do
    "$QL_WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
      /d 'WenQuanYi Micro Hei' /f >/dev/null
  done
  # The Access stand-in's setup library, so that CREATE_DB makes data files,
  # under both names a Windows Access driver goes by (the 64-bit program
  # looks for either). Wine 8 loads it through "Driver", later versions
  # through "Setup".
  local name windows_path="Z:${setup_library//\//\\}"
  for name in 'Microsoft Access Driver (*.mdb)' 'Microsoft Access Driver (*.mdb, *.accdb)'; do
    local key="HKLM\\Software\\ODBC\\ODBCINST.INI\\$name"
    "$QL_WINE" reg add "$key" /v Setup /t REG_SZ /d "$windows_path" /f >/dev/null
    if [ "$(wine_major_version)" -le 8 ]; then
      "$QL_WINE" reg add "$key" /v Driver /t REG_SZ /d "$windows_path" /f >/dev/null
    fi
  done
  # The registry reaches the files when the server ends; new values are read
  # by programs started after that.
  wineserver -k || true
  wineserver -w || true
  echo "$recipe" >"$stamp"
}

started=$(date +%s)
mkdir -p "$ROOT/build"
if ql_host_runs_i386 "$ROOT/build"; then HOST_RUNS_I386=yes; else HOST_RUNS_I386=no; fi
install_packages
ensure_locale

# shellcheck source=scripts/env.sh
. "$ROOT/scripts/env.sh"
mkdir -p "$QL_BUILD"

if [ "${1:-}" != --no-build ]; then
  build_tree "$QL_NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Release
  build_tree "$QL_WIN32_BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
  build_tree "$QL_WIN64_BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake"
fi
prepare_prefix

log "ready in $(($(date +%s) - started)) s (runs the $QL_ARCH build: $QL_APP)"
