#!/usr/bin/env bash
# Every test: the native unit tests (ctest in build/native), then the
# whole-program tests under Wine (tests/wine/test_*.py). Sets up and builds
# first. Ends with one line "total: N passed, M failed"; the exit code is
# non-zero when anything failed.
#
#   scripts/test.sh                  everything
#   scripts/test.sh --no-setup       skip setup and build (quicker when nothing changed)
#   scripts/test.sh --native         unit tests only
#   scripts/test.sh --wine [-k PAT] [FILE]...   whole-program tests only, optionally some
set -uo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
run_setup=1 run_native=1 run_wine=1
wine_arguments=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) run_setup=0 ;;
    --native) run_wine=0 ;;
    --wine) run_native=0 ;;
    *) wine_arguments+=("$1") ;;
  esac
  shift
done

if [ $run_setup = 1 ]; then
  "$ROOT/scripts/setup.sh" || { echo "total: 0 passed, 1 failed"; exit 1; }
fi

# The tests need the project's 1024x768 screen, whatever display the caller has.
unset DISPLAY
# shellcheck source=scripts/env.sh
. "$ROOT/scripts/env.sh"

# One test run at a time per checkout: the whole-program tests kill every
# Wine process of the prefix between tests.
exec 9>"$QL_BUILD/.test.lock"
if ! flock -n 9; then
  echo "test.sh: another test run holds $QL_BUILD/.test.lock; waiting for it"
  flock 9
fi
export QL_TEST_LOCK_HELD=1  # the harness takes the same lock when run on its own

passed=0 failed=0
started=$(date +%s)

# Reads "N passed, M failed" from a summary line and adds it up.
add_counts() {
  local line="$1" p f
  p=$(sed -n 's/.*\b\([0-9]\+\) passed.*/\1/p' <<<"$line")
  f=$(sed -n 's/.*\b\([0-9]\+\) failed.*/\1/p' <<<"$line")
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
}

if [ $run_native = 1 ]; then
  echo "== native unit tests (ctest in $QL_NATIVE_BUILD)"
  log="$QL_BUILD/ctest.log"
  LC_MESSAGES=C.UTF-8 ctest --test-dir "$QL_NATIVE_BUILD" -j2 --output-on-failure \
    --timeout 600 2>&1 | tee "$log"
  code=${PIPESTATUS[0]}
  # "100% tests passed, 0 tests failed out of 57"
  summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$summary" ]; then
    total=$(sed -n 's/.*out of \([0-9]\+\).*/\1/p' <<<"$summary")
    bad=$(sed -n 's/.* \([0-9]\+\) tests failed.*/\1/p' <<<"$summary")
    echo "native: $((total - bad)) passed, $bad failed"
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif grep -q 'No tests were found' "$log"; then
    echo "native: 0 passed, 0 failed (no tests)"
  else
    echo "native: ctest ended with code $code and no summary"
    failed=$((failed + 1))
  fi
fi

# Runs the Python unit tests of one folder and adds up their results.
run_unittests() {
  local name="$1" folder="$2" log="$QL_BUILD/$1-tests.log" code ran bad skipped
  /usr/bin/python3 -m unittest discover -s "$folder" -v 2>&1 | tee "$log"
  code=${PIPESTATUS[0]}
  # unittest closes with "Ran N tests" and "OK" or "FAILED (failures=F, errors=E)",
  # either with ", skipped=S" inside the brackets.
  ran=$(sed -n 's/^Ran \([0-9]\+\) tests\?.*/\1/p' "$log" | tail -1)
  bad=$(sed -n 's/^FAILED (\(.*\))$/\1/p' "$log" | grep -o '\(failures\|errors\)=[0-9]\+' | awk -F= '{s += $2} END {print s + 0}')
  skipped=$(grep -E '^(OK|FAILED) \(' "$log" | tail -1 | grep -o 'skipped=[0-9]\+' | cut -d= -f2)
  ran=${ran:-0} bad=${bad:-0} skipped=${skipped:-0}
  if [ "$code" -ne 0 ] && [ "$bad" -eq 0 ]; then bad=1; fi
  echo "$name: $((ran - bad - skipped)) passed, $bad failed, $skipped skipped"
  passed=$((passed + ran - bad - skipped))
  failed=$((failed + bad))
}

if [ $run_native = 1 ]; then
  echo "== the generated pictures (tests/assets)"
  run_unittests assets "$ROOT/tests/assets"
  echo "== the scripts (tests/scripts)"
  run_unittests scripts "$ROOT/tests/scripts"
fi

if [ $run_wine = 1 ]; then
  echo "== whole-program tests under Wine: the $QL_ARCH program in $QL_APP (display $DISPLAY)"
  log="$QL_BUILD/wine-tests.log"
  /usr/bin/python3 "$ROOT/tests/wine/run_tests.py" "${wine_arguments[@]}" 2>&1 | tee "$log"
  code=${PIPESTATUS[0]}
  summary=$(grep -E '^wine: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
  if [ -n "$summary" ]; then
    add_counts "$summary"
  else
    echo "wine: the runner ended with code $code and no summary"
    failed=$((failed + 1))
  fi
fi

echo "tests took $(($(date +%s) - started)) s"
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
