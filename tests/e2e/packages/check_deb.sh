#!/usr/bin/env bash
# check_deb.sh check|install DEB WORK VERSION
#
#   check    the Debian package as Debian's tools judge it: lintian finds no
#            error or warning, desktop-file-validate takes the menu entry,
#            appstreamcli the AppStream data; unpacked, it holds the three
#            programs, the assets, the icon and the manual pages, and its
#            quillmoor prints its version.
#   install  `apt-get install ./DEB` for real: quillmoor is on the PATH and in
#            the menu, finds its assets from any folder; `apt-get purge`
#            removes every file the package brought. Only as root, only when
#            the package isn't installed already, and skipped (77) while
#            another apt or dpkg holds the lock.
# Exits 0 on success, 77 (skipped, with the reason) when a tool is missing,
# 1 on a failure.
set -euo pipefail
step=$1 deb=$2 work=$3 version=$4
fail() { echo "check_deb: error: $*" >&2; exit 1; }
skip() { echo "SKIP: $*"; exit 77; }
[[ -f $deb ]] || fail "no package $deb (package_contents makes it)"
rm -rf "$work"
mkdir -p "$work"

case $step in
check)
  for tool in lintian desktop-file-validate appstreamcli dpkg-deb; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (tools/install-deps.sh --all installs it)"
  done
  dpkg-deb -x "$deb" "$work/root"
  root=$work/root
  for path in usr/bin/quillmoor usr/bin/quillmoor-capture usr/bin/songc \
              usr/share/quillmoor/ZEB_27.DMP usr/share/quillmoor/quillmoor_cut2_632x246x8.bmp \
              usr/share/quillmoor/FNT1616.FTB usr/share/quillmoor/FNT1616.GFX \
              usr/share/applications/org.quillmoor.Quillmoor.desktop \
              usr/share/metainfo/org.quillmoor.Quillmoor.metainfo.xml \
              usr/share/icons/hicolor/48x48/apps/quillmoor.png usr/share/icons/hicolor/256x256/apps/quillmoor.png \
              usr/share/man/man1/quillmoor.1.gz usr/share/man/man1/quillmoor-capture.1.gz \
              usr/share/man/man1/songc.1.gz usr/share/doc/quillmoor/copyright; do
    [[ -f $root/$path ]] || fail "the package has no /$path"
  done
  said=$("$root/usr/bin/quillmoor" --version) || fail "the unpacked quillmoor --version failed"
  [[ $said == "quillmoor $version" ]] || fail "the unpacked quillmoor --version said '$said'"
  # The package names its libraries, worked out from the programs.
  depends=$(dpkg-deb -f "$deb" Depends)
  for library in libsdl2-2.0-0 libc6 libstdc++6; do
    [[ $depends == *"$library "* ]] || fail "Depends: $depends lacks $library"
  done
  desktop-file-validate "$root/usr/share/applications/org.quillmoor.Quillmoor.desktop"
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.quillmoor.Quillmoor.metainfo.xml"
  # lintian says so when run as root; CI runs as root.
  lintian --fail-on error,warning "$deb" 2> >(grep -v "running with root privileges" >&2) ||
    fail "lintian found errors or warnings in $deb"
  echo "$deb: lintian, desktop-file-validate and appstreamcli find nothing wrong; quillmoor $version runs"
  ;;
install)
  [[ $(id -u) == 0 ]] || skip "installing a package needs root"
  command -v apt-get >/dev/null || skip "no apt-get"
  known=$(dpkg-query -W -f='${Status}' quillmoor 2>/dev/null || true)
  if [[ -n $known && $known != *" not-installed" ]]; then
    skip "quillmoor is on this machine already ($known); the test leaves it alone"
  fi
  apt() {
    if ! DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=60 -y -q --no-install-recommends "$@" \
        >"$work/apt.log" 2>&1; then
      grep -q "Could not get lock\|Unable to lock\|Unable to acquire" "$work/apt.log" &&
        skip "another apt or dpkg holds the package lock"
      cat "$work/apt.log" >&2
      fail "apt-get $* failed"
    fi
  }
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' >"$work/files"
  # Whatever happens below, the package goes again.
  trap 'DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=60 -y -q purge quillmoor >/dev/null 2>&1 || true' EXIT
  apt install "$(realpath "$deb")"
  [[ $(command -v quillmoor) == /usr/bin/quillmoor ]] || fail "quillmoor is not on the PATH after installing"
  [[ -f /usr/share/applications/org.quillmoor.Quillmoor.desktop ]] || fail "no menu entry after installing"
  mkdir -p "$work/elsewhere"
  (cd "$work/elsewhere" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 2 quillmoor --mute \
      >"$work/run.out" 2>"$work/run.err") || [[ $? == 124 ]] || fail "the installed quillmoor failed: $(cat "$work/run.err")"
  if grep -q "asset missing" "$work/run.err"; then
    fail "the installed quillmoor did not find its assets: $(cat "$work/run.err")"
  fi
  apt purge quillmoor
  trap - EXIT
  left=()
  while read -r path; do
    [[ -e $path ]] && left+=("$path")
  done <"$work/files"
  ((${#left[@]} == 0)) || fail "removing the package left ${left[*]}"
  echo "installed with apt-get, ran from $work/elsewhere, removed: $(wc -l <"$work/files") files gone"
  ;;
*) fail "no step '$step': check or install" ;;
esac
