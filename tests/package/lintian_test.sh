#!/usr/bin/env bash
# Debian's package checker on both packages. Every tag it finds is printed;
# an error or a warning fails the test.
#   lintian_test.sh PACKAGE_DIR
set -euo pipefail
if ! command -v lintian >/dev/null; then
  echo "lintian is not installed (scripts/install-deps installs it)"
  exit 77
fi
debs=("$1"/tarnwick_*.deb "$1"/scoutmark_*.deb)
status=0
lintian --display-info --pedantic --fail-on error,warning "${debs[@]}" || status=$?
[[ $status -eq 0 ]] || { echo "FAIL: lintian found errors or warnings" >&2; exit 1; }
echo "lintian: no error and no warning in ${debs[*]##*/}"
