#!/usr/bin/env bash
# Builds the Debian package and checks it as a new user would meet it: installed with apt
# into a clean Debian 12 root (no source tree, no build tree), where `dgaws-cli demo` must
# save both channels' chromatograms, `dgaws --version` must answer, the window must start and
# the manual pages must be in place.
#   scripts/package.sh            build, package, check
#   scripts/package.sh --no-check build and package only
# The clean root is made once with debootstrap and kept in $DGAWS_CLEAN_ROOT_CACHE
# (default /var/cache/dgaws); every check works on a fresh copy of it. Without debootstrap or
# root rights, the package is unpacked into a fresh prefix instead and run from there with
# the libraries of this machine (a weaker check, said so in the output).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DGAWS_BUILD_DIR:-build}"
CACHE="${DGAWS_CLEAN_ROOT_CACHE:-/var/cache/dgaws}"
MIRROR="${DGAWS_DEBIAN_MIRROR:-http://deb.debian.org/debian}"

cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
# Only what the package holds; cpack itself builds nothing.
cmake --build "$BUILD_DIR" --parallel 2 --target dgaws dgaws-cli manual default-method demo-data \
  default-templates
rm -f "$BUILD_DIR"/dgaws_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
DEB="$(realpath "$(ls "$BUILD_DIR"/dgaws_*_amd64.deb)")"
echo "package: $DEB ($(du -k "$DEB" | cut -f1) KiB)"
dpkg-deb --field "$DEB" Package Version Depends Recommends
[ "${1:-}" = "--no-check" ] && exit 0

# What the installed programs must do, wherever they are installed. $1 runs a command
# there; $2 is the scratch folder seen from inside.
check_installed() {
  local run="$1" out="$2"
  $run dgaws-cli --version
  $run dgaws --version
  $run sh -c "test -s /usr/share/man/man1/dgaws-cli.1.gz && test -s /usr/share/man/man1/dgaws.1.gz"
  $run sh -c "test -s /usr/share/bash-completion/completions/dgaws-cli"
  $run sh -c "test -s /usr/share/applications/dgaws.desktop"
  # A fresh data root: the shipped method is listed and can be copied.
  $run env DGAWS_HOME="$out/home" dgaws-cli method list | grep -q QLDefault
  $run env DGAWS_HOME="$out/home" dgaws-cli method new Mine --from QLDefault
  $run env DGAWS_HOME="$out/home" dgaws-cli demo --speed 400 --no-merge --out "$out/demo" --json \
    >"$SCRATCH_HOST/demo.json"
  local saved
  saved="$(find "$SCRATCH_HOST_DEMO" -name '*.chg' | wc -l)"
  echo "demo saved $saved chromatograms"
  [ "$saved" -ge 2 ] || { echo "package check: the demo did not save two chromatograms" >&2; exit 1; }
  window_starts "$run" "$out/window" "$SCRATCH_HOST/window"
}

# The window starts on the offscreen platform (there is no display here) and sets up its data
# root. It runs until it is closed, so one still running after a while has started; one that
# is missing a library or a platform plugin ends at once.
window_starts() {
  local run="$1" home="$2" home_host="$3" status=0
  $run env QT_QPA_PLATFORM=offscreen timeout 15 dgaws --home "$home" --simulate >/dev/null 2>&1 ||
    status=$?
  [ "$status" = 124 ] || { echo "package check: the window did not start ($status)" >&2; exit 1; }
  [ -n "$(find "$home_host" -name QLDefault.she)" ] ||
    { echo "package check: the window did not set up its data root" >&2; exit 1; }
  echo "the window started and set up its data root"
}

if command -v debootstrap >/dev/null && [ "$(id -u)" = 0 ]; then
  # The clean root reaches the archive the way this machine's apt does: through its proxy,
  # and without the date checks where this machine's apt is told to skip them (a mirror
  # frozen at an earlier date).
  APT_ACCESS="$(apt-config dump |
    grep -E '^Acquire::(https?::Proxy(::[^ ]+)?|Check-Valid-Until|Check-Date) ' || true)"
  PROXY="$(apt-config dump | sed -n 's/^Acquire::http::Proxy "\(.*\)";$/\1/p')"
  [ -n "$PROXY" ] && export http_proxy="$PROXY"
  BASE="$CACHE/clean-root-bookworm"
  if [ ! -d "$BASE" ]; then
    mkdir -p "$CACHE"
    rm -rf "$BASE.partial"
    debootstrap --variant=minbase bookworm "$BASE.partial" "$MIRROR"
    # As a fresh installation has them: the point releases and the security updates.
    cat >"$BASE.partial/etc/apt/sources.list" <<EOF
deb $MIRROR bookworm main
deb $MIRROR bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
    mv "$BASE.partial" "$BASE"
  fi
  ROOT="$(mktemp -d /var/tmp/dgaws-clean-root-XXXXXX)"
  cleanup() {
    umount "$ROOT/proc" 2>/dev/null || true
    umount "$ROOT/dev" 2>/dev/null || true
    rm -rf --one-file-system "$ROOT"
  }
  trap cleanup EXIT
  cp -a "$BASE/." "$ROOT/"
  cp /etc/resolv.conf "$ROOT/etc/resolv.conf"
  [ -n "$APT_ACCESS" ] && printf '%s\n' "$APT_ACCESS" >"$ROOT/etc/apt/apt.conf.d/99host-access"
  mount -t proc proc "$ROOT/proc"
  mount --bind /dev "$ROOT/dev"
  cp "$DEB" "$ROOT/tmp/"
  echo "== installing into a clean Debian 12 root ($ROOT) =="
  chroot "$ROOT" apt-get update -qq
  chroot "$ROOT" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$DEB")" >/dev/null
  mkdir -p "$ROOT/tmp/check"
  SCRATCH_HOST="$ROOT/tmp/check"
  SCRATCH_HOST_DEMO="$ROOT/tmp/check/demo"
  check_installed "chroot $ROOT" /tmp/check
  echo "package check: installed and ran in a clean root"
else
  PREFIX="$(mktemp -d)"
  trap 'rm -rf "$PREFIX"' EXIT
  dpkg-deb -x "$DEB" "$PREFIX"
  echo "== no debootstrap or no root: unpacked into $PREFIX and run with this machine's libraries =="
  SCRATCH_HOST="$PREFIX/check"
  SCRATCH_HOST_DEMO="$PREFIX/check/demo"
  mkdir -p "$SCRATCH_HOST"
  test -s "$PREFIX/usr/share/man/man1/dgaws-cli.1.gz"
  "$PREFIX/usr/bin/dgaws-cli" --version
  "$PREFIX/usr/bin/dgaws" --version
  DGAWS_HOME="$SCRATCH_HOST/home" "$PREFIX/usr/bin/dgaws-cli" method list | grep -q QLDefault
  DGAWS_HOME="$SCRATCH_HOST/home" "$PREFIX/usr/bin/dgaws-cli" demo --speed 400 --no-merge \
    --out "$SCRATCH_HOST_DEMO" >/dev/null
  [ "$(find "$SCRATCH_HOST_DEMO" -name '*.chg' | wc -l)" -ge 2 ]
  PATH="$PREFIX/usr/bin:$PATH" window_starts "" "$SCRATCH_HOST/window" "$SCRATCH_HOST/window"
  echo "package check: ran from a fresh prefix (not a clean root)"
fi
