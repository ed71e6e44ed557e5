#!/usr/bin/env bash
# Installs a built package on a fresh minimal Debian 12 and uses it there as a user would:
#   packaging/try-fresh-install.sh build/package/lineforge_*.deb [BASE_ROOT]
# `apt install` of the package must bring every library, the batch command must insert into
# copies of the installed samples, and the window must start (offscreen) and stay up.
# Needs root, debootstrap and the Debian mirror. The fresh system is made once in BASE_ROOT
# (default /var/tmp/lineforge-bookworm) and copied for every try, so each try starts clean.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 PACKAGE.deb [BASE_ROOT]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "$0 needs root (debootstrap, chroot)" >&2; exit 2; }
deb="$(realpath "$1")"
base="${2:-/var/tmp/lineforge-bookworm}"

if [ ! -x "$base/usr/bin/apt-get" ]; then
    command -v debootstrap >/dev/null || { echo "debootstrap is missing: apt-get install debootstrap" >&2; exit 2; }
    debootstrap --variant=minbase bookworm "$base" http://deb.debian.org/debian
fi

root="$(mktemp -d /var/tmp/lineforge-try.XXXXXX)"
cleanup() {
    umount "$root/proc" 2>/dev/null || true
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT
cp -a "$base/." "$root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
mount -t proc proc "$root/proc"

chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root /bin/bash -euo pipefail -c '
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/lineforge_*.deb >/tmp/apt.log
    echo "installed: $(dpkg-query -W -f="\${Package} \${Version}" lineforge)"
    useradd --create-home tester
    su tester --shell /bin/bash -c "
        set -euo pipefail
        cp -r /usr/lib/lineforge/Samples \$HOME/samples
        lineforge-batch --version
        # Exit status 0: every document was changed.
        lineforge-batch --mode first --lines \"Installed on a fresh system\" --json \$HOME/samples/*.docx
        status=0
        QT_QPA_PLATFORM=offscreen timeout 5 lineforge >/tmp/window.log 2>&1 || status=\$?
        cat /tmp/window.log
        [ \$status -eq 124 ] || { echo \"the window ended with status \$status\" >&2; exit 1; }
        echo \"the window started and stayed up\"
    "
'
echo "fresh install: OK"
