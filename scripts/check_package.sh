#!/usr/bin/env bash
# Checks the Debian packages of a build folder (default build/), the game's and
# the score server's, made first with
#   cmake --build build --target package
# The package must hold every file an installed game needs, the same files as
# `cmake --install`, library dependencies found by dpkg-shlibdeps; its desktop
# entry and AppStream metadata must validate, and lintian must find neither
# an error nor a warning (its notes are shown).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

packages=(dpkg-dev desktop-file-utils appstream lintian cmake)
source scripts/install_packages.sh
install_missing_packages "${packages[@]}"

fail() {
  echo "check_package: $*" >&2
  exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
[ -n "$version" ] || fail "$build is not a configured build folder"
deb="$build/vevarnholt_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb: make it with: cmake --build $build --target package"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/package"
cmake --install "$build" --prefix "$scratch/install/usr" --component game > /dev/null

echo "== What the package holds =="
expected=(
  usr/games/vevarnholt
  usr/share/games/vevarnholt/kav.dat
  usr/share/games/vevarnholt/VeVarnHolt-CopperSky.mp3
  usr/share/games/vevarnholt/VeVarnHolt-GlassHarbour.mp3
  usr/share/games/vevarnholt/demo.replay
  usr/share/applications/vevarnholt.desktop
  usr/share/metainfo/vevarnholt.metainfo.xml
  usr/share/man/man6/vevarnholt.6.gz
  usr/share/doc/vevarnholt/copyright
  usr/share/doc/vevarnholt/changelog.gz
)
for size in 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/vevarnholt.png")
done
for path in "${expected[@]}"; do
  [ -f "$scratch/package/$path" ] || fail "the package lacks /$path"
done
[ -x "$scratch/package/usr/games/vevarnholt" ] || fail "/usr/games/vevarnholt is not executable"
# The data files in the package are the very files the build made.
for name in kav.dat VeVarnHolt-CopperSky.mp3 VeVarnHolt-GlassHarbour.mp3 demo.replay; do
  cmp -s "$build/game/$name" "$scratch/package/usr/share/games/vevarnholt/$name" ||
    fail "the package's $name differs from $build/game/$name"
done
list_files() { (cd "$1" && find . -type f | sort); }
if ! diff <(list_files "$scratch/package") <(list_files "$scratch/install") > "$scratch/lists.diff"; then
  cat "$scratch/lists.diff" >&2
  fail "the package and cmake --install hold different files (< package, > install)"
fi
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in liballegro4.4 libmpg123-0 libc6; do
  grep -Eq "(^|, )${library//./\\.}( |,|$)" <<< "$depends" || fail "Depends lacks $library: were the dependencies found by dpkg-shlibdeps?"
done
echo "${#expected[@]} files in place, the same as a plain install"

echo "== Desktop entry and AppStream metadata =="
desktop-file-validate "$scratch/package/usr/share/applications/vevarnholt.desktop"
appstreamcli validate --no-net "$scratch/package/usr/share/metainfo/vevarnholt.metainfo.xml"

echo "== lintian =="
# Errors and warnings fail the check; notes are listed for the reader.
lintian_clean() {
  local status=0
  lintian --fail-on error,warning --display-info "$1" > "$scratch/lintian.txt" 2>&1 || status=$?
  grep -v "running with root privileges" "$scratch/lintian.txt" || echo "(no tags)"
  [ "$status" -eq 0 ] || fail "lintian found errors or warnings in $1"
}
lintian_clean "$deb"
echo "The package $deb passed its checks."

# --- the score server's package, made by the same build
echo "== The score server's package =="
server_deb="$build/vevarnholt-server_${version}_$(dpkg --print-architecture).deb"
[ -f "$server_deb" ] || fail "no package $server_deb: make it with: cmake --build $build --target package"
dpkg-deb -x "$server_deb" "$scratch/server-package"
cmake --install "$build" --prefix "$scratch/server-install/usr" --component server > /dev/null
server_expected=(
  usr/bin/vevarnholt-server
  usr/lib/systemd/system/vevarnholt-server.service
  usr/share/man/man1/vevarnholt-server.1.gz
  usr/share/doc/vevarnholt-server/copyright
  usr/share/doc/vevarnholt-server/changelog.gz
)
for path in "${server_expected[@]}"; do
  [ -f "$scratch/server-package/$path" ] || fail "the server's package lacks /$path"
done
[ -x "$scratch/server-package/usr/bin/vevarnholt-server" ] || fail "/usr/bin/vevarnholt-server is not executable"
if ! diff <(list_files "$scratch/server-package") <(list_files "$scratch/server-install") > "$scratch/server.diff"; then
  cat "$scratch/server.diff" >&2
  fail "the server's package and cmake --install hold different files (< package, > install)"
fi
# Nothing of the game's package is in the server's, nor the other way round.
if comm -12 <(list_files "$scratch/package") <(list_files "$scratch/server-package") | grep -q .; then
  fail "the two packages share files"
fi
server_depends=$(dpkg-deb -f "$server_deb" Depends)
echo "Depends: $server_depends"
grep -Eq "(^|, )vevarnholt \(= ${version//./\\.}\)" <<< "$server_depends" ||
  fail "the server's package does not depend on the game of its version, whose --verify it runs"
for library in libcpp-httplib0.11 libpqxx-6.4 libsqlite3-0; do
  grep -Eq "(^|, )${library//./\\.}( |,|$)" <<< "$server_depends" || fail "Depends lacks $library"
done
"$scratch/server-package/usr/bin/vevarnholt-server" --version | grep -q "^vevarnholt-server $version " ||
  fail "the packaged server does not say its version"
if command -v systemd-analyze > /dev/null; then
  # The unit as installed, its program taken from the package's files; any
  # complaint (an unknown key too) fails.
  mkdir -p "$scratch/unit"
  sed "s|/usr/bin/vevarnholt-server|$scratch/server-package/usr/bin/vevarnholt-server|" \
    "$scratch/server-package/usr/lib/systemd/system/vevarnholt-server.service" > "$scratch/unit/vevarnholt-server.service"
  if ! systemd-analyze verify --man=no "$scratch/unit/vevarnholt-server.service" > "$scratch/unit.txt" 2>&1 ||
    [ -s "$scratch/unit.txt" ]; then
    cat "$scratch/unit.txt" >&2
    fail "systemd-analyze does not accept the service"
  fi
  echo "systemd-analyze accepts the service"
fi
lintian_clean "$server_deb"
echo "The package $server_deb passed its checks."
