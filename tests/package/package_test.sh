#!/usr/bin/env bash
# Unpacks the two Debian packages and checks what a user gets from each: the
# files and nothing else, their run bits, the helper where the application
# looks for it, the dependencies, one version everywhere, and the
# application starting from its unpacked tree and quitting cleanly.
#   package_test.sh PACKAGE_DIR VERSION
set -euo pipefail
packages=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# unpack NAME: the package's file, unpacked into $scratch/NAME.
unpack() {
  local deb
  deb=$(ls "$packages"/"$1"_*_amd64.deb)
  dpkg-deb -x "$deb" "$scratch/$1"
  echo "$deb"
}

# The names of the packages in a relation field, one a line, sorted; the
# number of the ICU library left out, as it changes with the release.
relation_names() {
  dpkg-deb -f "$1" "$2" | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/ //g' -e '/^$/d' -e 's/^libicu[0-9]*$/libicu/' \
    | sort
}

check_files() {
  local actual
  actual=$(cd "$scratch/$1" && find . -type f -printf '%m %p\n' | sort -k2)
  [[ "$actual" == "$2" ]] || fail "$1 holds:
$actual"
}

check_relation() {
  local actual
  actual=$(relation_names "$1" "$2" | tr '\n' ' ')
  [[ "$actual" == "$3" ]] || fail "$(basename "$1") $2: $actual"
}

# Every place that states the version states the build's.
check_version() {
  local root=$scratch/$1
  [[ $(dpkg-deb -f "$2" Version) == "$version" ]] || fail "$1 package version"
  [[ $(zcat "$root/usr/share/doc/$1/changelog.gz" | head -1) == "tarnwick ($version) "* ]] || fail "$1 changelog"
  zcat "$root/usr/share/man/man1/$1.1.gz" | grep -q "^\.TH .* \"[A-Za-z]* $version\"" || fail "$1 manual page"
  grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml || fail "$1 AppStream release"
  [[ $(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$1" --version) == *" $version" ]] || fail "$1 --version"
}

# It starts offscreen from the unpacked tree, and quits when told to.
check_start() {
  XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen \
    "$scratch/$1/usr/bin/$1" 2>/dev/null &
  local pid=$! status=0
  sleep 2
  kill -0 "$pid" 2>/dev/null || fail "$1 did not keep running"
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [[ $status -eq 0 ]] || fail "$1 ended with status $status"
}

deb=$(unpack tarnwick)
check_files tarnwick "755 ./usr/bin/tarnwick
755 ./usr/libexec/tarnwick/Tool
644 ./usr/share/applications/tarnwick.desktop
644 ./usr/share/doc/tarnwick/changelog.gz
644 ./usr/share/doc/tarnwick/copyright
644 ./usr/share/icons/hicolor/scalable/apps/tarnwick.svg
644 ./usr/share/lintian/overrides/tarnwick
644 ./usr/share/man/man1/tarnwick.1.gz
644 ./usr/share/metainfo/org.tarnwick.tarnwick.metainfo.xml
644 ./usr/share/polkit-1/actions/org.tarnwick.tool.policy"
check_relation "$deb" Depends "dbus libc6 libdbus-1-3 libgcc-s1 libqt6core6 libqt6dbus6 libqt6gui6 libqt6widgets6 libstdc++6 pkexec "
check_relation "$deb" Recommends "lxpolkit policykit-1-gnome polkit-kde-agent-1 "
check_version tarnwick "$deb"
# Tarnwick starts bin/../libexec/tarnwick/Tool; polkit knows it by that path.
grep -q '<annotate key="org.freedesktop.policykit.exec.path">/usr/libexec/tarnwick/Tool</annotate>' \
  "$scratch/tarnwick/usr/share/polkit-1/actions/org.tarnwick.tool.policy" || fail "policy does not name /usr/libexec/tarnwick/Tool"
check_start tarnwick

deb=$(unpack scoutmark)
check_files scoutmark "755 ./usr/bin/scoutmark
644 ./usr/share/applications/scoutmark.desktop
644 ./usr/share/doc/scoutmark/changelog.gz
644 ./usr/share/doc/scoutmark/copyright
644 ./usr/share/icons/hicolor/scalable/apps/scoutmark.svg
644 ./usr/share/lintian/overrides/scoutmark
644 ./usr/share/man/man1/scoutmark.1.gz
644 ./usr/share/metainfo/org.tarnwick.scoutmark.metainfo.xml"
check_relation "$deb" Depends "libc6 libgcc-s1 libicu libqt6core6 libqt6dbus6 libqt6gui6 libqt6widgets6 libstdc++6 liburing2 "
check_relation "$deb" Recommends ""
check_version scoutmark "$deb"
check_start scoutmark
[[ -f "$scratch/config/Scoutmark/Scoutmark.conf" ]] || fail "Scoutmark saved no settings at quit"

echo "packages ok: $(cd "$packages" && echo *.deb)"
