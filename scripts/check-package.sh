#!/usr/bin/env bash
# Makes the Debian package of a configured and built build folder and checks
# it: its dependencies, lintian (errors fail), the desktop entry and the
# AppStream metainfo. With --install it also installs the package, starts both
# programs from it and removes it again; that needs root or sudo, and is
# skipped when a package of the same name is installed already.
#
#   scripts/check-package.sh [--install] BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."

install=false
if [ "${1:-}" = --install ]; then
  install=true
  shift
fi
build=${1:?usage: scripts/check-package.sh [--install] BUILD_DIR}

# cpack installs what is built and builds nothing itself.
cmake --build "$build" -j "$(nproc)" >/dev/null
out=$build/package
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/*.deb)
echo "$deb"
dpkg-deb -f "$deb" Package Version Depends Recommends

# dpkg-shlibdeps quietly gives nothing when it cannot run.
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 ||
  { echo "the package does not depend on the Qt libraries it links" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q gstreamer1.0-libav ||
  { echo "the package does not depend on the player's decoders (gstreamer1.0-libav)" >&2; exit 1; }
dpkg-deb -f "$deb" Depends | grep -qw libssl3 ||
  { echo "the package does not depend on libssl3 (libcrypto, for SHA-256)" >&2; exit 1; }

version=$(dpkg-deb -f "$deb" Version)
changelog=$(head -n 1 packaging/changelog)
case $changelog in
  "orvo ($version) "*) ;;
  *) echo "packaging/changelog does not start with version $version" >&2; exit 1 ;;
esac

lintian --fail-on error --tag-display-limit 0 "$deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml

$install || exit 0

package=$(dpkg-deb -f "$deb" Package)
state=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
if [ -n "$state" ] && [ "$state" != not-installed ]; then
  echo "$package is installed on this machine already; not installing the new package"
  exit 0
fi
run=()
[ "$(id -u)" -ne 0 ] && run=(sudo)

# Whatever happens below, the machine is left without the package.
trap 'rm -rf "$tree"; "${run[@]}" dpkg --purge "$package" >/dev/null || true' EXIT
"${run[@]}" dpkg -i "$deb" >/dev/null

# The installed converter answers with the package's version, and its manual
# page is there.
version=$(dpkg-deb -f "$deb" Version)
/usr/bin/orvo-convert --version | grep -qx "orvo-convert ${version%%-*}" || {
  echo "orvo-convert --version does not say ${version%%-*}" >&2
  exit 1
}
# grep reads the whole listing (no -q): stopping at the first match would
# kill dpkg-deb with SIGPIPE, and pipefail would count that as a failure.
dpkg-deb -c "$deb" | grep "man1/orvo-convert.1" >/dev/null || {
  echo "the package has no manual page of orvo-convert" >&2
  exit 1
}

# The window program keeps running until it is stopped; it gets a settings
# file, a home and a start folder of its own so the user's are not touched.
home=$tree/home
mkdir -p "$home"
status=0
mkdir -m 700 "$home/run"
(cd "$home" && HOME=$home XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home/run \
  ORVO_SETTINGS_FILE=$home/orvo.ini \
  QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/orvo) || status=$?
if [ "$status" -ne 124 ]; then
  echo "orvo ended with status $status instead of running" >&2
  exit 1
fi
echo "installed package: both programs start"
