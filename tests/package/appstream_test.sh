#!/usr/bin/env bash
# The AppStream data of both applications, checked as software centres read
# it, pedantic hints included: any issue at all fails. Offline: the pages
# and screenshots it names are not fetched.
#   appstream_test.sh METAINFO...
set -euo pipefail
output=$(appstreamcli validate --pedantic --no-net "$@" 2>&1) || { echo "$output"; exit 1; }
echo "$output"
if grep -qE '^[EWIP]: ' <<<"$output"; then
  echo "FAIL: appstreamcli reported issues" >&2
  exit 1
fi
