#!/usr/bin/env bash
# Builds the packages with scripts/package.sh and tries them out:
# - the .deb: its files, its control fields, `cmake --install` against it;
#   then installed with dpkg into this machine, its programs run, and removed;
# - the Windows installer: run silently under wine into a fresh prefix, its
#   files, Start-menu entry and Add/Remove Programs entry checked, the
#   installed fptool.exe run, then uninstalled silently.
#
# Environment:
#   FP_PACKAGE_TEST_DIR  work folder: packages, wine prefix, logs
#                        (default build-package-test)
#   FP_BUILD_DIR         Linux build to package, handed to scripts/package.sh
#   FP_WINDOWS_BUILD     folder holding the Windows programs, likewise
#
# Installing the .deb needs root or a password-less sudo, and is skipped when
# poreske-grupe is installed already: an installation of the user's is never
# replaced or removed.
# The checks' functions are called through check, out of shellcheck's sight.
# shellcheck disable=SC2317
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1

app_id=com.example.PoreskeGrupe
work=$(realpath -m "${FP_PACKAGE_TEST_DIR:-build-package-test}")
mkdir -p "$work"
export FP_DIST="$work/dist"
build_dir="${FP_BUILD_DIR:-build-package}"
version=$(scripts/package.sh version)

passed=0
failed=0
skipped=0
# check DESCRIPTION COMMAND...: runs the command (often a function of this
# script), shows its output when it fails.
check() {
  local what=$1
  shift
  if "$@" >"$work/check.log" 2>&1; then
    echo "ok      $what"
    passed=$((passed + 1))
  else
    echo "FAILED  $what"
    sed 's/^/        /' "$work/check.log" | tail -n 30
    failed=$((failed + 1))
  fi
}
skip() {
  echo "skipped $1"
  skipped=$((skipped + 1))
}
finish() {
  echo "$passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
  exit
}

# Equal when the file lists are; the difference otherwise.
same_list() { diff <(sort "$1") <(sort "$2"); }
contains() { grep -q -- "$2" <<<"$1" || { echo "\"$2\" not in:"; echo "$1"; false; }; }

build_packages() {
  rm -rf "$FP_DIST"
  scripts/package.sh >"$work/package.log" 2>&1 || { tail -n 40 "$work/package.log"; false; }
}
started=$SECONDS
check "scripts/package.sh builds the packages" build_packages
deb="$FP_DIST/poreske-grupe_${version}_amd64.deb"
setup="$FP_DIST/poreske-grupe-$version-setup.exe"
zip="$FP_DIST/poreske-grupe-$version-windows.zip"
if [ ! -f "$deb" ] || [ ! -f "$setup" ] || [ ! -f "$zip" ]; then finish; fi

# --- The .deb's contents -----------------------------------------------------
cat >"$work/deb-files.expected" <<EOF
./usr/bin/fpsim
./usr/bin/fptool
./usr/bin/poreske-grupe
./usr/share/applications/$app_id.desktop
./usr/share/doc/poreske-grupe/README.md
./usr/share/doc/poreske-grupe/changelog.gz
./usr/share/doc/poreske-grupe/copyright
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/fpsim.1.gz
./usr/share/man/man1/fptool.1.gz
./usr/share/man/man1/poreske-grupe.1.gz
./usr/share/metainfo/$app_id.metainfo.xml
EOF
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' >"$work/deb-files"
check ".deb holds exactly the programs, desktop files, man pages and documents" \
  same_list "$work/deb-files.expected" "$work/deb-files"

check ".deb version is the project's ($version)" \
  contains "$(dpkg-deb -f "$deb" Version)" "^$version\$"
depends_on_libraries() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  contains "$depends" libc6 && contains "$depends" libqt6widgets6
}
check ".deb depends on the libraries it links (libc6, Qt widgets)" depends_on_libraries
check ".deb description tells about the dialout group" \
  contains "$(dpkg-deb -f "$deb" Description)" "dialout"

versions_filled_in() {
  local root="$work/deb-root"
  rm -rf "$root" && dpkg-deb -x "$deb" "$root" &&
    contains "$(zcat "$root/usr/share/doc/poreske-grupe/changelog.gz")" \
      "^poreske-grupe ($version)" &&
    contains "$(cat "$root/usr/share/metainfo/$app_id.metainfo.xml")" \
      "<release version=\"$version\""
}
check "changelog and metadata carry the version" versions_filled_in

rm -rf "$work/cmake-install"
DESTDIR="$work/cmake-install" cmake --install "$build_dir" --prefix /usr >/dev/null
(cd "$work/cmake-install" && find . -type f -o -type l) >"$work/install-files"
check "cmake --install installs the same files as the .deb" \
  same_list "$work/deb-files.expected" "$work/install-files"

unzip -Z1 "$zip" | grep -v '/$' >"$work/zip-files"
printf 'poreske-grupe-%s/%s\n' "$version" poreske-grupe.exe "$version" fptool.exe \
  "$version" README.md >"$work/zip-files.expected"
check ".zip holds the two programs and the README" \
  same_list "$work/zip-files.expected" "$work/zip-files"

# --- The .deb installed on this machine ----------------------------------------
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"
installed() { dpkg-query -W -f='${Status}' poreske-grupe 2>/dev/null | grep -q 'install ok installed'; }
if installed; then
  skip "installing the .deb: poreske-grupe is installed on this machine already"
elif [ -n "$sudo" ] && ! sudo -n true 2>/dev/null; then
  skip "installing the .deb: needs root or a password-less sudo"
else
  trap 'installed && $sudo dpkg -r poreske-grupe >/dev/null' EXIT
  install_deb() {
    $sudo dpkg -i "$deb" || DEBIAN_FRONTEND=noninteractive $sudo apt-get -f install -y -qq
  }
  check "dpkg -i installs the .deb, with apt-get -f install for what it lacks" install_deb

  check "fptool --version prints the version" contains "$(/usr/bin/fptool --version 2>&1)" "$version"
  check "fptool --help prints the usage" contains "$(/usr/bin/fptool --help 2>&1)" "^usage: fptool"
  check "the installed desktop entry is valid" \
    desktop-file-validate "/usr/share/applications/$app_id.desktop"
  libraries_found() {
    local p
    for p in /usr/bin/poreske-grupe /usr/bin/fptool /usr/bin/fpsim; do
      [ -x "$p" ] || { echo "$p missing"; return 1; }
      ! ldd "$p" | grep "not found" || return 1
    done
  }
  check "the installed programs find all their libraries" libraries_found

  # The installed simulator and tool talk to each other, in a runtime folder of
  # their own so that no other simulator's port is in the way.
  runtime=$(mktemp -d)
  XDG_RUNTIME_DIR="$runtime" /usr/bin/fpsim --clock "24.12.2023 18:05:09" \
    </dev/null >"$work/fpsim.log" 2>&1 &
  fpsim_pid=$!
  for _ in $(seq 50); do
    [ -e "$runtime/serial-ports/ttyFP0" ] && break
    sleep 0.1
  done
  check "the installed fptool reads the installed fpsim's clock" contains \
    "$(XDG_RUNTIME_DIR="$runtime" timeout 30 /usr/bin/fptool --port ttyFP0 clock 2>&1)" \
    "24.12.2023 18:05:09"
  kill "$fpsim_pid" 2>/dev/null
  wait "$fpsim_pid" 2>/dev/null
  rm -rf "$runtime"

  remove_deb() {
    $sudo dpkg -r poreske-grupe >/dev/null && ! installed &&
      [ ! -e /usr/bin/fptool ] && [ ! -e "/usr/share/applications/$app_id.desktop" ]
  }
  check "dpkg -r removes the package and its programs" remove_deb
  trap - EXIT
fi

# --- The Windows installer under wine ------------------------------------------
scripts/lib/apt-install.sh wine >/dev/null
export WINEPREFIX="$work/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null' EXIT
program_dir="$WINEPREFIX/drive_c/Program Files/Poreske grupe"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Poreske grupe.lnk"
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"

check "setup.exe /S installs silently" timeout 180 wine "$setup" /S
installed_files() {
  local f
  for f in poreske-grupe.exe fptool.exe README.md Uninstall.exe; do
    [ -f "$program_dir/$f" ] || { echo "$program_dir/$f missing"; return 1; }
  done
}
check "the programs, the README and the uninstaller are in Program Files" installed_files
check "the Start menu has the program's entry" test -f "$shortcut"
check "Add/Remove Programs lists the silent uninstaller" contains \
  "$(timeout 60 wine reg query "$uninstall_key" /v QuietUninstallString 2>&1)" 'Uninstall.exe" /S'
check "the installed fptool.exe runs" contains \
  "$(timeout 60 wine 'C:\Program Files\Poreske grupe\fptool.exe' --help 2>&1)" "usage"

# The uninstaller copies itself away and returns at once; the copy does the work.
check "Uninstall.exe /S starts" timeout 60 wine "$program_dir/Uninstall.exe" /S
uninstalled() { [ ! -e "$program_dir" ] && [ ! -e "$shortcut" ]; }
for _ in $(seq 60); do
  uninstalled && break
  sleep 1
done
check "uninstalling removes the programs and the Start-menu entry" uninstalled
no_uninstall_entry() { ! timeout 60 wine reg query "$uninstall_key"; }
check "uninstalling removes the Add/Remove Programs entry" no_uninstall_entry
wineserver -k 2>/dev/null
trap - EXIT
[ "$failed" -eq 0 ] && rm -rf "$WINEPREFIX"

echo "packaging test took $((SECONDS - started)) s"
finish
