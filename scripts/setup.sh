#!/usr/bin/env bash
# Makes this machine ready to build, run and test the program (Debian 12):
#   1. the packages (as root; i386 multiarch for Wine's 32-bit half),
#   2. the zh_CN.UTF-8 locale (Wine takes code page 936 from it),
#   3. both builds: build/native (unit tests, the ODBC stand-in) and
#      build/win32 (the product into build/app, the tools, the test driver),
#   4. a Wine prefix under build/ set up for Chinese text.
# Safe to run again; quick when everything is in place.
# With CI=true, warnings fail the build. --no-build leaves step 3 out.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

PACKAGES=(
  # Cross and native toolchains, libraries of both builds
  mingw-w64 g++-mingw-w64-i686-posix libz-mingw-w64-dev
  cmake ninja-build g++ gcc-multilib g++-multilib clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev libstb-dev zlib1g-dev
  # Wine with its 32-bit half, a virtual screen and tools to look at it
  wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-wqy-microhei locales
  # ODBC: the driver manager and the SQLite driver behind the Access stand-in
  unixodbc unixodbc-dev libsqliteodbc libsqliteodbc:i386 libodbc2:i386 odbcinst:i386 sqlite3
  # Scripts, tests and the picture generator
  python3 python3-pil
)

log() { printf 'setup: %s\n' "$*"; }

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'
}

install_packages() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do
    installed "$package" || missing+=("$package")
  done
  if [ ${#missing[@]} -eq 0 ]; then return 0; fi
  if [ "$(id -u)" -ne 0 ]; then
    log "missing packages (run as root to install): ${missing[*]}"
    exit 1
  fi
  log "installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
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
PREFIX_RECIPE=1

wine_major_version() {
  wine --version 2>/dev/null | sed -n 's/^wine-\([0-9]*\).*/\1/p'
}

prepare_prefix() {
  local setup_library="$QL_WIN32_BUILD/tools/odbc-standin/setup/access-setup.dll"
  local stamp="$WINEPREFIX/.ql-prefix"
  local recipe="recipe=$PREFIX_RECIPE setup=$setup_library"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then return 0; fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "making the Wine prefix $WINEPREFIX"
    # WINEDLLOVERRIDES (env.sh) keeps wineboot from asking for Mono and Gecko.
    wineboot -i >"$QL_BUILD/wineboot.log" 2>&1
  fi
  log "configuring the Wine prefix"
  # GDI+ finds "宋体" only through a replacement; the program asks for it by name.
  local face
  for face in 宋体 SimSun; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
      /d 'WenQuanYi Micro Hei' /f >/dev/null
  done
  # The Access stand-in's setup library, so that CREATE_DB makes data files.
  # Wine 8 loads it through "Driver", later versions through "Setup".
  local key='HKLM\Software\ODBC\ODBCINST.INI\Microsoft Access Driver (*.mdb)'
  local windows_path="Z:${setup_library//\//\\}"
  wine reg add "$key" /v Setup /t REG_SZ /d "$windows_path" /f >/dev/null
  if [ "$(wine_major_version)" -le 8 ]; then
    wine reg add "$key" /v Driver /t REG_SZ /d "$windows_path" /f >/dev/null
  fi
  # The registry reaches the files when the server ends; new values are read
  # by programs started after that.
  wineserver -k || true
  wineserver -w || true
  echo "$recipe" >"$stamp"
}

started=$(date +%s)
install_packages
ensure_locale

# shellcheck source=scripts/env.sh
. "$ROOT/scripts/env.sh"
mkdir -p "$QL_BUILD"

if [ "${1:-}" != --no-build ]; then
  build_tree "$QL_NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Release
  build_tree "$QL_WIN32_BUILD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake"
fi
prepare_prefix

log "ready in $(($(date +%s) - started)) s (program folder: $QL_APP)"
