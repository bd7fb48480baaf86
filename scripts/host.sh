# What this host can run. Sourced by env.sh and setup.sh.

# Whether this host runs 32-bit x86 Linux programs: some kernels have the
# 32-bit emulation switched off, and then Wine's 32-bit half cannot start.
# Asked once of a 93-byte i386 program that only exits; the answer is kept in
# the build folder given as $1.
ql_host_runs_i386() {
  local folder="$1"
  local answer="$folder/host-runs-i386"
  if [ ! -f "$answer" ]; then
    mkdir -p "$folder"
    local probe="$folder/probe-i386"
    # ELF header; one loadable segment; code: mov eax,1 / xor ebx,ebx / int 0x80 (exit 0).
    printf '%b' \
      '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00' \
      '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00' \
      '\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
      '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    if "$probe" 2>/dev/null; then echo yes >"$answer"; else echo no >"$answer"; fi
    rm -f "$probe"
  fi
  [ "$(cat "$answer")" = yes ]
}
