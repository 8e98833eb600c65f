#!/usr/bin/env bash
# The shipped Tool holds no test point and works on the fixed SDK directory:
# none of the variables that drive the test points or move the SDK
# directory is in its file, while the test build, searched the same way,
# shows each of them.
#   shipped_tool_test.sh TOOL TOOL_FOR_TESTS SDK_DIRECTORY
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
variables=(TARNWICK_TEST_PAUSE TARNWICK_TEST_FAIL_ACTION TARNWICK_TEST_KILL_AT TARNWICK_TEST_SDK_DIRECTORY)
for variable in "${variables[@]}"; do
  grep -qa "$variable" "$2" || fail "the test build holds no $variable: this search finds nothing"
done
if found=$(grep -ao 'TARNWICK_TEST[A-Z_]*' "$1"); then
  fail "the shipped Tool reads $(sort -u <<<"$found" | tr '\n' ' ')"
fi
grep -qaF "$3" "$1" || fail "the shipped Tool does not hold the SDK directory $3"
echo "the shipped Tool holds no test point and works on $3"
