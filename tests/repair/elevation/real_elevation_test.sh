#!/usr/bin/env bash
# Runs the elevation test program as the user nobody against the real
# pkexec and a real polkitd, leaving nothing behind: everything happens in
# a private mount namespace in which /run/dbus (with a private system bus),
# the polkit actions and rules folders, and the SDK directory's top folder
# are tmpfs, and in a private process namespace, so that whatever still runs
# at the end (a polkitd the bus started, say) ends with it. Mount points
# that do not exist are made for the run and removed after it.
# Exit status 77: skipped, with the reason on stdout.
#
# real_elevation_test.sh PROGRAM TOOL MAKE_SAMPLE_SDKS POLICY_TEMPLATE PKEXEC SDK_DIRECTORY
set -euo pipefail
# The test's own system bus is the one at the standard place in the
# namespace; the buses of whoever runs the test play no part.
unset DBUS_SYSTEM_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

if [[ ${1:-} == --inside ]]; then
  shift
  program=$1 tool=$2 samples=$3 policy=$4 sdks=$5 top=$6
  pids=()
  trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT

  # Nothing is written before every one of these is a tmpfs of its own.
  for folder in /run/dbus /usr/share/polkit-1/actions /etc/polkit-1/rules.d "$top"; do
    mount -t tmpfs -o mode=0755 tarnwick-test "$folder"
    if [[ $(stat -f -c %T "$folder") != tmpfs ]]; then
      echo "$folder did not become a tmpfs" >&2
      exit 1
    fi
  done
  # polkitd reads its rules as the user polkitd.
  chown "$(stat -c %u /usr/share/polkit-1/rules.d)" /etc/polkit-1/rules.d
  chmod 0700 /etc/polkit-1/rules.d

  # The programs, where an installation puts them relative to each other.
  stage=$top/.tarnwick-elevation-test
  mkdir -p "$stage/bin" "$stage/libexec/tarnwick" "$stage/fake-bin" "$stage/home" "$stage/tmp"
  cp "$program" "$stage/bin/"
  cp "$tool" "$stage/libexec/tarnwick/Tool"
  sed "s|@TOOL_INSTALL_PATH@|$stage/libexec/tarnwick/Tool|g" "$policy" \
    >/usr/share/polkit-1/actions/org.tarnwick.tool.policy
  cat >/etc/polkit-1/rules.d/50-tarnwick-test.rules <<'RULE'
polkit.addRule(function(action, subject) {
  if (action.id == "org.tarnwick.tool" && subject.user == "nobody")
    return polkit.Result.YES;
});
RULE
  # A pkexec first in the user's PATH must never be the one that runs.
  printf '#!/bin/sh\ntouch %s/fake-pkexec-ran\nexit 1\n' "$stage" >"$stage/fake-bin/pkexec"
  chmod 0755 "$stage/fake-bin/pkexec"
  chown nobody "$stage" "$stage/home" "$stage/tmp"
  "$samples" "$sdks" >/dev/null

  dbus-daemon --system --fork --print-pid=3 3>"$stage/dbus.pid"
  pids+=("$(cat "$stage/dbus.pid")")
  "$polkitd" --no-debug >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 300); do
    dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.PolicyKit1 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.1
  done

  status=0
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
    env -i PATH="$stage/fake-bin:/usr/bin:/bin" HOME="$stage/home" TMPDIR="$stage/tmp" \
    LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen TARNWICK_REAL_ELEVATION=1 \
    "$stage/bin/$(basename "$program")" || status=$?
  if [[ -e $stage/fake-pkexec-ran ]]; then
    echo "the pkexec found through PATH was run" >&2
    status=1
  fi
  exit "$status"
fi

program=$1 tool=$2 samples=$3 policy=$4 pkexec=$5 sdks=$6
skip() { echo "SKIPPED: $*"; exit 77; }

[[ $(id -u) -eq 0 ]] || skip "needs root for a private mount namespace and a private polkitd"
[[ -u $pkexec ]] || skip "$pkexec is missing or not setuid root (Debian: pkexec)"
polkitd=
for candidate in /usr/lib/polkit-1/polkitd /usr/libexec/polkitd /usr/libexec/polkit-1/polkitd; do
  [[ -x $candidate ]] && polkitd=$candidate && break
done
[[ -n $polkitd ]] || skip "polkitd is not installed (Debian: polkitd)"
for command in dbus-daemon dbus-send setpriv unshare flock; do
  command -v "$command" >/dev/null || skip "$command is not installed"
done
getent passwd nobody >/dev/null || skip "there is no user nobody"
[[ -d /usr/share/polkit-1/actions && -d /etc/polkit-1/rules.d && -d /usr/share/polkit-1/rules.d ]] ||
  skip "polkit's folders are missing"
unshare --mount --propagation private --pid --fork --mount-proc true 2>/dev/null ||
  skip "no private mount and process namespaces can be made here"

# The SDK directory's top folder ("/Applications"). Runs from other checkouts
# take turns, so that one never removes a mount point another still uses.
rest=${sdks#/}
top=/${rest%%/*}
[[ $top =~ ^/[^/]+$ && $top != "$sdks" ]] || skip "the SDK directory $sdks has no top folder of its own"
exec 9</usr/share/polkit-1/actions
flock 9
made=()
for folder in /run/dbus "$top"; do
  if [[ ! -e $folder ]]; then
    mkdir "$folder"
    made+=("$folder")
  fi
done
trap 'for folder in "${made[@]}"; do rmdir "$folder"; done' EXIT

export polkitd
unshare --mount --propagation private --pid --fork --mount-proc \
  bash "$0" --inside "$program" "$tool" "$samples" "$policy" "$sdks" "$top"
