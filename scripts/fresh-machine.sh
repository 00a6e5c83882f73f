#!/usr/bin/env bash
# Runs the README's test command as a fresh Debian 12 machine would: in a new root made by
# debootstrap, holding nothing but Debian's minimal base system, as root, without a display, on a
# clone of the committed HEAD. What the test run needs and scripts/deps.sh does not name fails
# there, however much this machine has installed.
#
#   fresh-machine.sh [--base DIR] [--keep] [COMMAND...]
#
# --base DIR  copy a root that debootstrap made earlier (left unchanged) instead of making one
# --keep      leave the root in place afterwards (build/fresh-machine/root) to look into
# COMMAND     run inside the root, in the clone, instead of "bash .ci/run"
#
# Needs root. The root's mounts live in a mount namespace of their own and every process started
# in it in a PID namespace of its own, so both end with the script, even when it is interrupted.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/deps.sh

base=
keep=false
while [ $# -gt 0 ]; do
    case $1 in
    --base) base=$2; shift 2 ;;
    --keep) keep=true; shift ;;
    *) break ;;
    esac
done
command=("$@")
[ ${#command[@]} -gt 0 ] || command=(bash .ci/run)

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-machine.sh makes and enters a root file system: run it as root." >&2
    exit 1
fi
pelmora_ensure_packages "${PELMORA_FRESH_PACKAGES[@]}"

work=$PWD/build/fresh-machine
root=$work/root
if [ -e "$root" ]; then
    echo "$root is left from an earlier run (--keep?): remove it first." >&2
    exit 1
fi
mkdir -p "$work"
cleanup() {
    if ! $keep; then
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT

started=$(date +%s)
if [ -n "$base" ]; then
    cp -a "$base" "$root"
else
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
# The same archive as this machine's (a fresh machine of this kind reads the same), and its name
# service; nothing else of the host goes in.
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/" 2>/dev/null ||
    cp /etc/apt/sources.list "$root/etc/apt/sources.list"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
git clone --quiet --no-hardlinks "$PWD" "$root/root/pelmora"
prepared=$(date +%s)
echo "==== Root ready in $((prepared - started)) s; running: ${command[*]}"

# Inside the namespaces: the kernel's file systems, a /tmp and /dev/shm of the root's own, then
# the command with nothing of this environment but a plain PATH, CI's flag and a locale-free C.
status=0
unshare --mount --pid --fork --propagation private bash -euc '
    root=$1
    shift
    mount -t proc proc "$root/proc"
    mount -t sysfs -o ro sysfs "$root/sys"
    mount --rbind /dev "$root/dev"
    mount --make-rslave "$root/dev"
    mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    cd "$root/root/pelmora"
    exec chroot "$root" env -i HOME=/root CI=true LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /root/pelmora && exec \"\$@\"" run "$@"
' fresh "$root" "${command[@]}" </dev/null || status=$?

finished=$(date +%s)
echo "==== Fresh machine: root made in $((prepared - started)) s, the command took" \
    "$((finished - prepared)) s, exit status $status"
exit $status
