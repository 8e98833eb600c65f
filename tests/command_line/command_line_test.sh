#!/usr/bin/env bash
# Both programs on the command line: --help and --version answer without a
# display and end with status 0; unknown options and stray arguments end
# with a message that names them and status 1, before any window opens;
# Qt's own options still pass.
#   command_line_test.sh BIN_DIR VERSION
set -euo pipefail
bin=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Each case: program, display ("none": no display at all; "offscreen"),
# arguments, status, a text that standard output holds, one that standard
# error holds (empty: the stream must be empty). %P stands for the program.
cases=(
  "tarnwick|none|--version|0|Tarnwick $version|"
  "scoutmark|none|--version|0|Scoutmark $version|"
  "tarnwick|none|-v|0|Tarnwick $version|"
  "tarnwick|none|--help|0|Repair, export and import the macOS SDKs of Xcode.|"
  "scoutmark|none|-h|0|Search the headers of macOS SDKs for a text.|"
  "scoutmark|none|--help|0|-v, --version  Show the version and exit.|"
  "tarnwick|offscreen|--bogus|1||%P: Unknown option 'bogus'."
  "scoutmark|offscreen|-x|1||%P: Unknown option 'x'."
  "scoutmark|offscreen|--help --bogus|1||Try '%P --help' for more information."
  "tarnwick|offscreen|Applications|1||%P: Unexpected argument 'Applications'."
  "scoutmark|offscreen|--version stray|1||%P: Unexpected argument 'stray'."
  "tarnwick|none|-platform offscreen --version|0|Tarnwick $version|"
  "scoutmark|none|-style fusion -platform offscreen -h|0|Usage: |"
)

for case in "${cases[@]}"; do
  IFS='|' read -r program display arguments status out err <<<"$case"
  err=${err//%P/$program}
  environment=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$scratch")
  [[ $display == offscreen ]] && environment+=(QT_QPA_PLATFORM=offscreen)
  actual=0
  # A window that opens instead of an answer shows as the timeout's status.
  # shellcheck disable=SC2086
  timeout 30 "${environment[@]}" "$bin/$program" $arguments >"$scratch/out" 2>"$scratch/err" || actual=$?
  problem=
  [[ $actual == "$status" ]] || problem="status $actual"
  [[ -z $out ]] || grep -qF -- "$out" "$scratch/out" || problem+=" output lacks '$out'"
  if [[ -z $err ]]; then
    [[ ! -s "$scratch/err" ]] || problem+=" error output not empty"
  else
    grep -qF -- "$err" "$scratch/err" || problem+=" error lacks '$err'"
    [[ ! -s "$scratch/out" ]] || problem+=" output not empty"
  fi
  if [[ -n $problem ]]; then
    echo "FAIL: $program $arguments:$problem"
    sed 's/^/  out: /' "$scratch/out"
    sed 's/^/  err: /' "$scratch/err"
    failures=$((failures + 1))
  fi
done
echo "$((${#cases[@]} - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
