#!/usr/bin/env bash
# Builds the release packages into dist/:
#   poreske-grupe_<version>_amd64.deb         Debian 12 (CPack), checked with lintian
#   poreske-grupe-<version>-setup.exe         Windows x64 installer (NSIS)
#   poreske-grupe-<version>-windows.zip       the two Windows programs and the README
# The version is the one of project() in CMakeLists.txt.
#
#   scripts/package.sh [deb] [windows]        both when none is named
#   scripts/package.sh version                prints the version and ends
#
# Environment:
#   FP_BUILD_DIR      the Linux build folder (default build-package). A folder
#                     without a CMake cache is configured as a Release build with
#                     Debian's hardening flags; one that has a cache is built as
#                     it is configured, so a caller can hand over its own build.
#   FP_WINDOWS_BUILD  a folder that already holds the Windows programs; without
#                     it, scripts/build-windows.sh builds them into build-windows.
#   FP_DIST           where the packages go (default dist).
set -euo pipefail
cd "$(dirname "$0")/.."

# The VERSION of the project() call, which may span lines.
version=$(tr '\n' ' ' <CMakeLists.txt |
  sed -nE 's/.*project\([[:space:]]*poreske-grupe[^)]*[[:space:]]VERSION[[:space:]]+([0-9][0-9.]*).*/\1/p')
[ -n "$version" ] || { echo "package.sh: no VERSION in the project() of CMakeLists.txt" >&2; exit 1; }
if [ "${1:-}" = version ]; then
  echo "$version"
  exit 0
fi

# The build's own packages, then the packaging tools.
packages=(
  dpkg-dev file lintian desktop-file-utils appstream
  nsis zip g++-mingw-w64-x86-64-posix
)
scripts/deps.sh
scripts/lib/apt-install.sh "${packages[@]}"

app_id=com.example.PoreskeGrupe
build_dir="${FP_BUILD_DIR:-build-package}"
dist="${FP_DIST:-dist}"

want_deb=0
want_windows=0
[ $# -eq 0 ] && set -- deb windows
for target in "$@"; do
  case "$target" in
    deb) want_deb=1 ;;
    windows) want_windows=1 ;;
    *) echo "usage: scripts/package.sh [deb] [windows] | version" >&2; exit 2 ;;
  esac
done

mkdir -p "$dist"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_deb() {
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    # In a subshell, so that the flags stay out of the Windows build. CMake
    # takes no CPPFLAGS: the preprocessor's flags join the compiler's.
    (
      eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
      CXXFLAGS="$CPPFLAGS $CXXFLAGS" cmake -S . -B "$build_dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release -DFP_BUILD_TESTS=OFF >/dev/null
    )
  fi
  cmake --build "$build_dir"
  if [ ! -f "$build_dir/CPackConfig.cmake" ]; then
    echo "package.sh: $build_dir has no CPack setup: is cmake/Packaging.cmake included?" >&2
    exit 1
  fi
  cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/cpack" >/dev/null
  local deb="poreske-grupe_${version}_amd64.deb"
  [ -f "$work/cpack/$deb" ] || { echo "package.sh: CPack made no $deb" >&2; exit 1; }

  # What ships is checked, not the sources: the entry, the metadata and the
  # package as a whole. Lintian's warnings are shown; its errors stop here.
  dpkg-deb -x "$work/cpack/$deb" "$work/root"
  desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop"
  appstreamcli validate --no-net --no-color "$work/root/usr/share/metainfo/$app_id.metainfo.xml" \
    >"$work/appstream.log" || { cat "$work/appstream.log" >&2; exit 1; }
  local status=0
  lintian --fail-on error "$work/cpack/$deb" >"$work/lintian.log" 2>&1 || status=$?
  grep -v 'running with root privileges' "$work/lintian.log" || true
  [ $status -eq 0 ] || { echo "package.sh: lintian found errors in $deb" >&2; exit 1; }

  mv -f "$work/cpack/$deb" "$dist/"
  echo "$dist/$deb"
}

# A Windows program must not need the MinGW runtime or Qt as DLLs: the
# installer carries the two programs alone.
check_windows_program() {
  local exe=$1
  if ! file -b "$exe" | grep -q '^PE32+ executable.*x86-64'; then
    echo "package.sh: $exe is not a 64-bit Windows program" >&2
    exit 1
  fi
  if command -v x86_64-w64-mingw32-objdump >/dev/null; then
    local dlls
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' |
      grep -Ei '^(lib|qt)' || true)
    if [ -n "$dlls" ]; then
      echo "package.sh: $exe needs DLLs the installer does not carry: ${dlls//$'\n'/ }" >&2
      exit 1
    fi
  fi
}

# $1: the build folder, $2: the program's name; the usual place first.
find_windows_program() {
  local dir=$1 name=$2 found
  for found in "$dir/app/$name" "$dir/tools/${name%.exe}/$name"; do
    [ -f "$found" ] && { echo "$found"; return; }
  done
  found=$(find "$dir" -name "$name" -type f -not -path '*/CMakeFiles/*' | head -n 1)
  [ -n "$found" ] || { echo "package.sh: no $name in $dir" >&2; exit 1; }
  echo "$found"
}

build_windows() {
  local windows_build="${FP_WINDOWS_BUILD:-}"
  if [ -z "$windows_build" ]; then
    if [ ! -x scripts/build-windows.sh ]; then
      echo "package.sh: scripts/build-windows.sh is missing; set FP_WINDOWS_BUILD to a Windows build" >&2
      exit 1
    fi
    scripts/build-windows.sh
    windows_build=build-windows
  fi

  local stage="$work/poreske-grupe-$version"
  mkdir -p "$stage"
  local name exe
  for name in poreske-grupe.exe fptool.exe; do
    exe=$(find_windows_program "$windows_build" "$name")
    check_windows_program "$exe"
    cp "$exe" "$stage/$name"
  done
  cp README.md "$stage/"

  # VIProductVersion wants four numbers.
  local version4="$version"
  while [ "$(tr -cd . <<<"$version4" | wc -c)" -lt 3 ]; do version4="$version4.0"; done
  local setup="poreske-grupe-$version-setup.exe"
  makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DSTAGE="$stage" \
    -DOUTFILE="$work/$setup" "$PWD/packaging/windows/poreske-grupe.nsi"
  mv -f "$work/$setup" "$dist/"
  echo "$dist/$setup"

  local zip="poreske-grupe-$version-windows.zip"
  rm -f "$dist/$zip"
  (cd "$work" && zip -q -X -r "$zip" "poreske-grupe-$version")
  mv -f "$work/$zip" "$dist/"
  echo "$dist/$zip"
}

if [ $want_deb -eq 1 ]; then build_deb; fi
if [ $want_windows -eq 1 ]; then build_windows; fi
