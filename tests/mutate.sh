#!/usr/bin/env bash
# The mutation tool (tools/mutate/) on a fixture of its own (tests/mutate/), in WORK: of its
# three mutants one is killed, one survives and one is set aside as equivalent, more than the
# 5 % allowed (status 1). A second run finds every outcome recorded, builds nothing and gives
# the same report.
#
#   mutate.sh WORK
set -euo pipefail
fixture=$(dirname "$0")/mutate
work=$1
rm -rf "$work"
trap 'status=$?; [ "$status" -eq 0 ] || cat "$work.out" >&2; exit "$status"' EXIT

# Runs the tool on the fixture; its status must be 1, its report the one expected.
check() {
  local status=0
  python3 "$fixture/../../tools/mutate/mutate.py" --root "$fixture" --work "$work" \
    --equivalent "$fixture/equivalent.txt" --exclude left_out --target positive --workers 1 \
    . >"$work.out" 2>&1 || status=$?
  [ "$status" -eq 1 ] || { echo "FAIL: status $status" >&2; exit 1; }
  grep -v '^Time:' "$work/report.txt" | diff -u - <(cat <<'REPORT'
3 mutants of .

file                             mutants  killed  survived  build error  equivalent
positive.cpp                           3       1         1            0           1
all                                    3       1         1            0           1

Survived: 1
  positive.cpp:7:31 boundary: > -> >=

Equivalent: 1
  positive.cpp:7:33 constant: 0 -> 1 -- the fixture's example of an entry

Killed: 1 of 2 (50.0 %; 95 % interval 9.5 to 90.5 %), equivalent mutants and build errors aside
Warning: 1 equivalent mutants are more than 5 % of the run
REPORT
  )
}
check
grep -q '^mutate: 3 mutants, 1 of them recorded or set aside; 2 to run$' "$work.out"
check
grep -q '^mutate: 3 mutants, 3 of them recorded or set aside; 0 to run$' "$work.out"
