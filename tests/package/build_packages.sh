#!/usr/bin/env bash
# Makes the Debian packages of a finished build afresh, for the tests that
# look at them.
#   build_packages.sh BUILD_DIR PACKAGE_DIR
set -euo pipefail
rm -rf "$2"
cd "$1"
cpack -G DEB -B "$2" >/dev/null
ls "$2"/*.deb
