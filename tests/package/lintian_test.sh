#!/usr/bin/env bash
# Debian's package checker on both packages. Every tag it finds is printed;
# an error, a warning or any hardening tag (those are only information to
# lintian, but each is a protection a program goes without) fails the test.
#   lintian_test.sh PACKAGE_DIR
set -euo pipefail
if ! command -v lintian >/dev/null; then
  echo "lintian is not installed (scripts/install-deps installs it)"
  exit 77
fi
debs=("$1"/tarnwick_*.deb "$1"/scoutmark_*.deb)
status=0
tags=$(lintian --display-info --pedantic --fail-on error,warning "${debs[@]}") || status=$?
[[ -n $tags ]] && echo "$tags"
[[ $status -eq 0 ]] || { echo "FAIL: lintian found errors or warnings" >&2; exit 1; }
if grep -q ' hardening-' <<<"$tags"; then
  echo "FAIL: a program lacks a hardening flag" >&2
  exit 1
fi
echo "lintian: no error, no warning and no hardening tag in ${debs[*]##*/}"
