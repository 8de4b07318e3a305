#!/usr/bin/env bash
# Runs the README's two Quick start commands, as written there and one after the other, on a clean
# clone of the committed HEAD inside a brand-new Debian 12 root in which nothing was installed by
# hand: what a new user on a new machine meets. Anything the commands need but do not install,
# and anything that passes only because of what this machine already has, fails here.
#
#   bash .ci/fresh-root.sh
#
# Needs root. The root starts from a minimal Debian 12 (apt, git, CA certificates) made with
# mmdebstrap, cached in /var/cache/netsparse-ci for a week, and gets this machine's package
# sources and apt settings, so it reaches what a new machine here reaches. Each command's output is
# shown as it runs and its time is printed; the last lines are the test command's own summary.
# Exits 0 only when both commands do.
set -uo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "fresh-root: needs root" >&2; exit 2; }

# The Quick start's commands: the lines of the first sh block under its heading, comments removed.
mapfile -t commands < <(sed -n '/^## Quick start/,/^## [^Q]/p' "$repo/README.md" | sed -n '/^```sh/,/^```$/p' |
  grep -v '^```' | sed 's/ *#.*$//' | grep -v '^ *$')
[ "${#commands[@]}" -eq 2 ] || { echo "fresh-root: the Quick start holds ${#commands[@]} commands, not 2" >&2; exit 2; }

if ! command -v mmdebstrap >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends mmdebstrap; } >/dev/null ||
    { echo "fresh-root: cannot install mmdebstrap" >&2; exit 2; }
fi

cache=/var/cache/netsparse-ci
base=$cache/bookworm.tar
mkdir -p "$cache"
if [ ! -s "$base" ] || [ -n "$(find "$base" -mtime +7)" ]; then
  echo "fresh-root: making a new Debian 12 root"
  rm -f "$base" "$cache/new.tar"
  mmdebstrap --quiet --variant=apt --include=ca-certificates,git bookworm "$cache/new.tar" >"$cache/make.log" 2>&1 ||
    { echo "fresh-root: mmdebstrap failed; see $cache/make.log" >&2; exit 2; }
  mv "$cache/new.tar" "$base"
fi

root=$(mktemp -d /tmp/fresh-root.XXXXXX)
# Unmounts what the root borrowed from this machine and removes it.
cleanup() {
  for mount in dev/shm dev/pts dev sys proc; do mountpoint -q "$root/$mount" && umount -l "$root/$mount"; done
  rm -rf "$root"
}
trap cleanup EXIT
tar -xf "$base" -C "$root" || { echo "fresh-root: cannot unpack $base" >&2; exit 2; }
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/" 2>/dev/null
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$root/etc/apt/"
for setting in /etc/apt/apt.conf.d/99*; do [ -f "$setting" ] && cp "$setting" "$root/etc/apt/apt.conf.d/"; done
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
mount -t proc proc "$root/proc" && mount --bind /sys "$root/sys" && mount --bind /dev "$root/dev" &&
  mount --bind /dev/pts "$root/dev/pts" && mount -t tmpfs tmpfs "$root/dev/shm" ||
  { echo "fresh-root: cannot mount /proc, /sys and /dev in the root" >&2; exit 2; }
git clone -q --no-local "$repo" "$root/src" || { echo "fresh-root: cannot clone $repo" >&2; exit 2; }
echo "fresh-root: clean clone of $(git -C "$repo" rev-parse --short HEAD) in a new Debian $(cat "$root/etc/debian_version") root"

status=0
times=()
for command in "${commands[@]}"; do
  echo
  echo "== $command"
  start=$(date +%s)
  # A login's plain environment: nothing of this machine's shell comes along.
  timeout 4800 chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "cd /src && $command" 2>&1 |
    tee "$root/last.log"
  rc=${PIPESTATUS[0]}
  [ "$rc" -eq 0 ] || status=1
  times+=("$(printf '%-24s exit %d after %d s' "$command" "$rc" $(($(date +%s) - start)))")
done

echo
echo "fresh-root: the Quick start in a new Debian 12 root"
printf '  %s\n' "${times[@]}"
# The test command's own summary, stage by stage, last.
echo
sed -n '/^Test summary/,$p' "$root/last.log"
exit "$status"
