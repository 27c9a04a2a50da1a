#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, and checks that it installs and
# starts on a clean Debian 12.
#
#   sudo tools/check-deb.sh [-l] [-k] [-r ROOT] [-o OUT] [PACKAGE.deb]
#
# Without PACKAGE.deb the package is built first, into build-pkg/: scripts/setup.sh
# installs what is missing (help2man, lintian and debootstrap included), builds, and
# cpack makes the .deb. The package names its maintainer: give it as
# KELMORA_PACKAGE_CONTACT="Name <address>" or with Debian's DEBFULLNAME and DEBEMAIL,
# and the project's page as KELMORA_HOMEPAGE (optional); the script refuses to build a
# package without a contact rather than make one up.
#
# What it does:
#  0. lintian on the package: any error or warning fails the check (-l: stop here;
#     no root, network or debootstrap needed);
#  1. debootstrap a minimal Debian 12 (bookworm) into ROOT (default: a new
#     folder under /var/tmp), from the Debian mirror this machine's apt
#     already uses (read from /etc/apt/sources.list and sources.list.d at run
#     time; set KELMORA_DEBIAN_MIRROR to choose another);
#  2. apt-get install the package there without recommended packages, so
#     its declared dependencies alone must be enough, then the test tools
#     (xvfb, x11-apps, xdotool, strace, shared-mime-info, xdg-utils, ...);
#  3. start Xvfb :77 inside the root and check that kelmora starts and stays
#     up, that it read /usr/share/kelmora/palettes.pal, that Options > Colour
#     Palette lists the sample palettes (screenshot), that a .kmd file is
#     application/x-kelmora-project with kelmora.desktop as its application,
#     and that "kelmora x.kmd" opens the project (title "Kelmora - x.kmd");
#  4. stop what it started, unmount and remove ROOT (keep it with -k).
#
# Screenshots (PNG when ImageMagick's import is on this machine, else XWD)
# go to OUT (default: a new folder under /tmp). Steps 1 to 4 need root,
# debootstrap and network access to the mirror. Exit status 0 when every
# check passed.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
keep=0
lintian_only=0
root=""
out=""
while getopts "lkr:o:h" opt; do
    case "$opt" in
        l) lintian_only=1 ;;
        k) keep=1 ;;
        r) root="$OPTARG" ;;
        o) out="$OPTARG" ;;
        *) sed -n '2,36p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

deb="${1:-}"
if [ -z "$deb" ]; then
    contact="${KELMORA_PACKAGE_CONTACT:-}"
    if [ -z "$contact" ] && [ -n "${DEBFULLNAME:-}" ] && [ -n "${DEBEMAIL:-}" ]; then
        contact="$DEBFULLNAME <$DEBEMAIL>"
    fi
    if [ -z "$contact" ]; then
        echo "check-deb: say who answers for the package: KELMORA_PACKAGE_CONTACT='Name <address>'" >&2
        echo "           (or DEBFULLNAME and DEBEMAIL); no address is made up" >&2
        exit 2
    fi
    echo "== build the package in $repo/build-pkg"
    KELMORA_PACKAGING=1 "$repo/scripts/setup.sh" "$repo/build-pkg" -DKELMORA_BUILD_TESTS=OFF \
        -DKELMORA_PACKAGE_CONTACT="$contact" -DKELMORA_HOMEPAGE="${KELMORA_HOMEPAGE:-}"
    rm -f "$repo"/build-pkg/kelmora_*.deb
    (cd "$repo/build-pkg" && cpack -G DEB > cpack.log 2>&1) || { tail -20 "$repo/build-pkg/cpack.log"; exit 1; }
    deb="$(ls -t "$repo"/build-pkg/kelmora_*.deb 2>/dev/null | head -1 || true)"
fi
if [ -z "$deb" ] || [ ! -f "$deb" ]; then
    echo "check-deb: no package at '$deb'" >&2
    exit 2
fi
deb="$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"

echo "== lintian $(basename "$deb")"
command -v lintian >/dev/null || { echo "check-deb: install lintian first" >&2; exit 2; }
# Lintian warns that it runs as root; that is not a finding about the package.
findings="$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)"
if [ -n "$findings" ]; then
    echo "$findings"
fi
if echo "$findings" | grep -qE '^[EW]: '; then
    echo "FAIL: lintian reports errors or warnings"
    exit 1
fi
echo "PASS: lintian reports no error and no warning"
[ "$lintian_only" = 1 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "check-deb: must run as root (debootstrap, chroot and mount need it)" >&2
    exit 2
fi
command -v debootstrap >/dev/null || { echo "check-deb: install debootstrap first" >&2; exit 2; }

# The first Debian mirror apt uses for bookworm: deb822 ".sources" files
# first, then one-line ".list" files.
debian_mirror() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
            {
                uris = ""; suites = ""; enabled = "yes"
                for (i = 1; i <= NF; i++) {
                    line = $i
                    if (line ~ /^URIs:/)    { sub(/^URIs:[ \t]*/, "", line); uris = line }
                    if (line ~ /^Suites:/)  { sub(/^Suites:[ \t]*/, "", line); suites = line }
                    if (line ~ /^Enabled:/) { sub(/^Enabled:[ \t]*/, "", line); enabled = line }
                }
                if (enabled == "no") next
                n = split(suites, s, /[ \t]+/)
                for (k = 1; k <= n; k++) if (s[k] == "bookworm") { split(uris, u, /[ \t]+/); print u[1]; exit }
            }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        awk '$1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                if ($(i + 1) == "bookworm") { print $i; exit }
            }' "$f"
    done
}
mirror="${KELMORA_DEBIAN_MIRROR:-$(debian_mirror | grep -E '^https?://' | head -1 || true)}"
if [ -z "$mirror" ]; then
    echo "check-deb: no Debian bookworm mirror in this machine's apt sources; set KELMORA_DEBIAN_MIRROR" >&2
    exit 2
fi

# The root is removed afterwards, so only a new or empty folder is accepted.
if [ -n "$root" ] && [ -e "$root" ] && [ -n "$(ls -A "$root" 2>/dev/null)" ]; then
    echo "check-deb: $root is not empty; give a new or empty folder" >&2
    exit 2
fi
[ -n "$root" ] || root="$(mktemp -d /var/tmp/kelmora-deb12.XXXXXX)"
[ -n "$out" ] || out="$(mktemp -d /tmp/kelmora-deb12-out.XXXXXX)"
mkdir -p "$root" "$out"
root="$(cd "$root" && pwd)"
if [ "$root" = "/" ]; then
    echo "check-deb: refusing / as the root" >&2
    exit 2
fi

display=77
mounted=()
pids=()

# A command inside the root with a clean environment. Background jobs use the
# array directly, so that $! is the process itself (chroot and env exec it)
# and not a subshell around it.
in_root_cmd=(chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
    DEBIAN_FRONTEND=noninteractive)
in_root() {
    "${in_root_cmd[@]}" "$@"
}

cleanup() {
    local i
    set +e
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    pids=()
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" || umount -l "${mounted[i]}"
    done
    if [ "$keep" = 1 ]; then
        echo "check-deb: kept $root"
    elif grep -q " $root/" /proc/mounts; then
        echo "check-deb: something is still mounted under $root; not removing it" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT

mount_in_root() {
    # mount_in_root TARGET mount-arguments...
    local target="$root/$1"
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

screenshot() {
    # ImageMagick's import on this machine reaches the root's X server (same
    # host) and, unlike xwd, also captures the menus, which Qt draws in
    # windows of another visual. Without it, xwd inside the root.
    if command -v import >/dev/null; then
        DISPLAY=":$display" import -window root "$out/$1.png"
        echo "      screenshot $out/$1.png"
    else
        in_root sh -c "xwd -root -silent -display :$display > /tmp/shot.xwd"
        cp "$root/tmp/shot.xwd" "$out/$1.xwd"
        echo "      screenshot $out/$1.xwd"
    fi
}

echo "== debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$out/debootstrap.log" 2>&1 ||
    { tail -20 "$out/debootstrap.log"; exit 1; }

mount_in_root proc -t proc proc
mount_in_root dev --bind /dev
mount_in_root dev/pts --bind /dev/pts
mount_in_root tmp -t tmpfs tmpfs
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
cp "$deb" "$root/root/"
pkg="/root/$(basename "$deb")"

echo "== apt-get install $(basename "$deb")"
in_root apt-get update > "$out/apt.log" 2>&1
if in_root apt-get install -y --no-install-recommends "$pkg" >> "$out/apt.log" 2>&1; then
    pass "the package installs with its declared dependencies"
else
    tail -20 "$out/apt.log"
    fail "the package does not install"
    exit 1
fi
in_root apt-get install -y --no-install-recommends xvfb x11-apps xdotool strace \
    shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl >> "$out/apt.log" 2>&1

echo "== start Xvfb :$display"
"${in_root_cmd[@]}" Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp > "$out/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    [ -e "$root/tmp/.X11-unix/X$display" ] && break
    sleep 0.2
done

echo "== kelmora"
# The palette file: which palettes.pal the editor opens at start-up.
timeout 30 "${in_root_cmd[@]}" DISPLAY=":$display" strace -f -e trace=openat -o /tmp/kelmora.strace kelmora --quit-after-show > "$out/kelmora-strace.log" 2>&1 || true
if grep -E 'openat\(.*"/usr/share/kelmora/palettes.pal".* = [0-9]+$' "$root/tmp/kelmora.strace" > /dev/null; then
    pass "kelmora read /usr/share/kelmora/palettes.pal"
else
    fail "kelmora did not read /usr/share/kelmora/palettes.pal"
fi

"${in_root_cmd[@]}" DISPLAY=":$display" kelmora > "$out/kelmora.log" 2>&1 &
editor=$!
win="$(in_root env DISPLAY=":$display" timeout 30 xdotool search --sync --onlyvisible --name '^Kelmora' 2>/dev/null | head -1 || true)"
sleep 2
if [ -n "$win" ] && kill -0 "$editor" 2>/dev/null; then
    pass "kelmora starts and shows its window: $(in_root env DISPLAY=":$display" xdotool getwindowname "$win")"
    screenshot main-window
    # Options > Colour Palette: the palettes read from the file are listed.
    in_root env DISPLAY=":$display" sh -c "xdotool windowfocus $win; sleep 0.5; xdotool key alt+o; sleep 1; xdotool key Return; sleep 2"
    screenshot palette-menu
    in_root env DISPLAY=":$display" xdotool key Escape Escape
else
    fail "kelmora did not start"
    cat "$out/kelmora.log"
fi
kill "$editor" 2>/dev/null && wait "$editor" 2>/dev/null || true

echo "== .kmd files"
in_root update-mime-database /usr/share/mime > /dev/null
in_root update-desktop-database /usr/share/applications > /dev/null 2>&1 || true
in_root cp /usr/share/kelmora/examples/walker.kmd /tmp/x.kmd
type="$(in_root xdg-mime query filetype /tmp/x.kmd || true)"
if [ "$type" = "application/x-kelmora-project" ]; then
    pass "xdg-mime: x.kmd is $type"
else
    fail "xdg-mime: x.kmd is '$type'"
fi
app="$(in_root xdg-mime query default application/x-kelmora-project || true)"
if [ "$app" = "kelmora.desktop" ]; then
    pass "xdg-mime: .kmd projects open with $app"
else
    fail "xdg-mime: .kmd projects open with '$app'"
fi

"${in_root_cmd[@]}" DISPLAY=":$display" sh -c 'cd /tmp && exec kelmora x.kmd' > "$out/kelmora-kmd.log" 2>&1 &
pids+=($!)
win="$(in_root env DISPLAY=":$display" timeout 30 xdotool search --sync --onlyvisible --name '^Kelmora - x\.kmd' 2>/dev/null | head -1 || true)"
sleep 1
if [ -n "$win" ]; then
    pass "kelmora x.kmd opens the project: $(in_root env DISPLAY=":$display" xdotool getwindowname "$win")"
    screenshot project-opened
else
    fail "kelmora x.kmd did not show the title 'Kelmora - x.kmd'"
fi

echo "== $failures failed; logs and screenshots in $out"
[ "$failures" -eq 0 ]
