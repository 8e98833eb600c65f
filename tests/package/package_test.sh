#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it, and checks
# what a user gets: the files and nothing else, their run bits, the helper
# where the application looks for it, the dependencies, and both
# applications starting from the unpacked tree and quitting cleanly.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/tarnwick_*_amd64.deb)
root=$scratch/root
dpkg-deb -x "$deb" "$root"

expected="./usr/bin/scoutmark
./usr/bin/tarnwick
./usr/libexec/tarnwick/Tool
./usr/share/applications/scoutmark.desktop
./usr/share/applications/tarnwick.desktop
./usr/share/icons/hicolor/scalable/apps/scoutmark.svg
./usr/share/icons/hicolor/scalable/apps/tarnwick.svg
./usr/share/polkit-1/actions/org.tarnwick.tool.policy"
actual=$(cd "$root" && find . -type f | sort)
[[ "$actual" == "$expected" ]] || fail "package holds:
$actual"

for program in usr/bin/tarnwick usr/bin/scoutmark usr/libexec/tarnwick/Tool; do
  [[ $(stat -c %a "$root/$program") == 755 ]] || fail "$program is not 755"
done
for file in usr/share/applications/tarnwick.desktop usr/share/polkit-1/actions/org.tarnwick.tool.policy; do
  [[ $(stat -c %a "$root/$file") == 644 ]] || fail "$file is not 644"
done

# Tarnwick starts bin/../libexec/tarnwick/Tool; polkit knows it by that path.
[[ -x "$root/usr/bin/../libexec/tarnwick/Tool" ]] || fail "Tool not beside bin"
grep -q '<annotate key="org.freedesktop.policykit.exec.path">/usr/libexec/tarnwick/Tool</annotate>' \
  "$root/usr/share/polkit-1/actions/org.tarnwick.tool.policy" || fail "policy does not name /usr/libexec/tarnwick/Tool"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6dbus6 libicu72 libdbus-1-3 pkexec dbus; do
  [[ "$depends" == *"$package"* ]] || fail "Depends lacks $package: $depends"
done

# Both start offscreen from the unpacked tree, and quit when told to.
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
for app in tarnwick scoutmark; do
  "$root/usr/bin/$app" 2>/dev/null &
  pid=$!
  sleep 2
  kill -0 "$pid" 2>/dev/null || fail "$app did not keep running"
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  [[ $status -eq 0 ]] || fail "$app ended with status $status"
done
[[ -f "$scratch/config/Scoutmark/Scoutmark.conf" ]] || fail "Scoutmark saved no settings at quit"
echo "package ok: $(basename "$deb")"
