#!/usr/bin/env bash
# Runs a command in a fresh root of a Debian release, as a new user of that release
# would: debootstrap makes a minimal root from the Debian archive that this machine's
# apt uses, a clone of the current commit goes into it, and the command runs there as
# root with a login's environment. The root is removed afterwards, however the run ends.
#
# usage: scripts/in-debian.sh <release> <command...>
#   e.g. scripts/in-debian.sh 13 make test TEST_DPI=144
# Needs root and about 7 GB under build/in-debian. DEBIAN_MIRROR overrides the archive.
set -eu
# Read whole before any of it runs: a checkout during a long run must not change what
# the rest of the run does.
{
repo=$(cd "$(dirname "$0")/.." && pwd)
work=$repo/build/in-debian

usage() { echo "usage: $0 <12|13> <command...>" >&2; exit 2; }
die() { echo "in-debian: $*" >&2; exit 1; }

# Tried again after a pause, since a mirror or the network may fail for a while.
retry() {
  local try
  for try in 1 2 3; do
    "$@" && return 0
    [ "$try" -lt 3 ] || return 1
    echo "in-debian: '$1' failed; trying again in $((try * 20)) s" >&2
    sleep $((try * 20))
  done
}

# ---- inside: pid 1 of a pid namespace and a mount namespace of its own, so that every
# process started in the root ends with it, and what it mounts is seen by nobody else
# and goes when it ends, even when killed outright.
if [ "${IN_DEBIAN_ROOT:-}" ]; then
  root=$IN_DEBIAN_ROOT suite=$IN_DEBIAN_SUITE mirror=$IN_DEBIAN_MIRROR tarball=$IN_DEBIAN_TARBALL
  command_pid=""
  # debootstrap mounts proc and sys in the root itself, and leaves them when it fails.
  unmount_all() {
    local m
    for m in dev/shm dev/pts dev sys proc; do
      ! mountpoint -q "$root/$m" || umount -l "$root/$m"
    done
  }
  # Bash runs a trap only once the command it waits for ends, so the command runs in
  # the background and the trap ends it by its id; the kernel ends the rest of the
  # namespace's processes when this one exits.
  stop() {
    [ -z "$command_pid" ] || kill -TERM "$command_pid" 2>/dev/null || true
    unmount_all
  }
  trap stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM

  # Every package of the base, with git, make, sudo and ca-certificates, is kept in a
  # tarball, so that the next run makes its root afresh from it without downloading
  # them again. A week old, it is made anew from the archive's current packages.
  make_base() {
    unmount_all
    find "$root" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system {} +
    debootstrap --variant=minbase --include=git,make,sudo,ca-certificates "$@" "$suite" "$root" "$mirror"
  }
  if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
    echo "==> downloading the base of Debian $suite from $mirror" >&2
    retry make_base --make-tarball="$tarball.part" >&2 || die "debootstrap could not download Debian $suite"
    mv "$tarball.part" "$tarball"
  fi
  echo "==> making a fresh root of Debian $suite in $root" >&2
  make_base --unpack-tarball="$tarball" >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; die "debootstrap could not make the root (see $root.log)"; }
  rm -f "$root.log"

  # The machine's own certificate authorities, so that npm reaches its registry from
  # the root wherever it does from the machine.
  [ ! -d /usr/local/share/ca-certificates ] ||
    cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null 2>&1

  echo "==> cloning $IN_DEBIAN_COMMIT into /root/tarnavel" >&2
  git -c safe.directory='*' clone -q --no-hardlinks "$repo" "$root/root/tarnavel"
  git -C "$root/root/tarnavel" checkout -q --detach "$IN_DEBIAN_COMMIT"

  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  mount -t tmpfs tmpfs "$root/dev/shm"

  echo "==> running in Debian $suite: $*" >&2
  # The environment of a login as root, none of this shell's; stdin stays the caller's,
  # which a command in the background would lose, or /dev/null where there is none.
  { exec 3<&0; } 2>/dev/null || exec 3</dev/null
  chroot "$root" /usr/bin/env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash ${TERM:+TERM="$TERM"} \
    /bin/bash -l -c 'cd "$HOME/tarnavel" && exec "$@"' in-debian "$@" <&3 3<&- 9>&- &
  command_pid=$!
  wait "$command_pid"
  exit $?
fi

# ---- outside: checks, the archive, the root's place, then the namespaces -----------
[ $# -ge 2 ] || usage
release=$1
case $release in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) usage ;;
esac
shift
[ "$(id -u)" -eq 0 ] || die "needs root, to run debootstrap, mount and chroot: try sudo $0"

# The Debian archive of this machine's apt: the source of its own release's main
# component, in either format of apt's sources.
machine_mirror() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk -v want="$codename" '
    function take() { if (deb && uri != "" && (" " suites " ") ~ (" " want " ") && (" " comps " ") ~ / main /) { print uri; found = 1; exit } }
    /^[ \t]*$/ { take(); deb = 0; uri = suites = comps = ""; next }
    /^Types:/ { deb = (" " $0 " ") ~ / deb / }
    /^URIs:/ { uri = $2 }
    /^Suites:/ { suites = $0 }
    /^Components:/ { comps = $0 }
    END { if (!found) take() }'
  cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed -E 's/\[[^]]*\]//' |
    awk -v want="$codename" '$1 == "deb" && $3 == want && (" " $0 " ") ~ / main / { print $2 }'
}
mirror=${DEBIAN_MIRROR:-$(machine_mirror | head -n1)}
[ -n "$mirror" ] || die "no Debian archive found in this machine's apt sources: set DEBIAN_MIRROR"

"$repo/scripts/deps.sh" in-debian
commit=$(git -c safe.directory='*' -C "$repo" rev-parse HEAD)
[ -z "$(git -c safe.directory='*' -C "$repo" status --porcelain)" ] ||
  echo "in-debian: the root gets commit $commit; what is not committed stays out" >&2

mkdir -p "$work"
# Roots of runs that have ended, killed ones too: a run holds its lock until it ends.
for lock in "$work"/root-*.lock; do
  [ -e "$lock" ] || continue
  ( flock -n 9 && rm -rf --one-file-system "${lock%.lock}" "${lock%.lock}.log" "$lock" ) 9<"$lock" || true
done
root=$work/root-$release-$$
exec 9>"$root.lock"
flock -n 9
mkdir "$root"

# No mount of the run is seen here, so removing the root cannot reach into the machine.
ns_pid=""
finish() {
  local rc=$? inner
  if [ -n "$ns_pid" ] && kill -0 "$ns_pid" 2>/dev/null; then
    # unshare waits for the namespace's first process and passes on its end.
    for inner in $(cat "/proc/$ns_pid/task/$ns_pid/children" 2>/dev/null); do kill -TERM "$inner" 2>/dev/null || true; done
    wait "$ns_pid" 2>/dev/null || true
  fi
  rm -rf --one-file-system "$root" "$root.log"
  rm -f "$root.lock"
  exit "$rc"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
{ exec 3<&0; } 2>/dev/null || exec 3</dev/null
IN_DEBIAN_ROOT=$root IN_DEBIAN_SUITE=$suite IN_DEBIAN_MIRROR=$mirror IN_DEBIAN_COMMIT=$commit \
IN_DEBIAN_TARBALL=$work/debian-$suite-$(dpkg --print-architecture).tgz \
  unshare --mount --propagation private --pid --fork --kill-child=TERM -- "$0" "$@" <&3 &
ns_pid=$!
set +e
wait "$ns_pid"
exit
}
