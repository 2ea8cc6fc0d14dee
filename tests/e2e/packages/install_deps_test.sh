#!/usr/bin/env bash
# install_deps_test.sh SCRIPT WORK
#
# tools/install-deps.sh against a bad mirror, with stand-ins for apt-get,
# dpkg-query and dpkg first on the PATH (nothing is really installed): it
# tries `apt-get update` and the install the configured number of times,
# goes on once the mirror answers, and otherwise stops with exit 1 and one
# line naming what could not be had and the mirror as the cause.
set -euo pipefail
script=$1 work=$2
rm -rf "$work"
mkdir -p "$work/bin"
fail() { echo "install_deps_test: error: $*" >&2; exit 1; }

# The stand-ins. apt-get logs each call to calls.log and fails its first
# $FAIL_UPDATES updates and $FAIL_INSTALLS installs with the messages a bad
# mirror gives.
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "$*" >>"$WORK/calls.log"
count=$(grep -c "^$1" "$WORK/calls.log")
case $1 in
update)
  if ((count <= FAIL_UPDATES)); then
    echo "Get:1 http://mirror.example/debian-security bookworm-security InRelease [48.0 kB]"
    echo "E: Failed to fetch http://mirror.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (123 != 456). Mirror sync in progress? [IP: 192.0.2.1 80]"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
  fi ;;
install)
  if ((count <= FAIL_INSTALLS)); then
    echo "The following packages have unmet dependencies:"
    echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi ;;
esac
exit 0
STANDIN
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"                # nothing is installed
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"                    # i386 already added
chmod +x "$work/bin/"*

# run NAME FAIL_UPDATES FAIL_INSTALLS ARGS...: the script's exit status in
# $status, its stderr in $work/NAME.err.
run() {
  local name=$1
  rm -f "$work/calls.log"
  touch "$work/calls.log"
  status=0
  PATH="$work/bin:$PATH" WORK=$work FAIL_UPDATES=$2 FAIL_INSTALLS=$3 QUILLMOOR_APT_TRIES=3 QUILLMOOR_APT_PAUSE=0 \
    "$script" "${@:4}" >"$work/$name.out" 2>"$work/$name.err" || status=$?
}
calls() { grep -c "^$1" "$work/calls.log" || true; }
error_lines() { grep -c ": error: " "$work/$1.err" || true; }

# The mirror recovers within the tries: the script carries on and succeeds.
run recovers 2 2 --all
((status == 0)) || fail "a mirror that recovers: exit $status: $(cat "$work/recovers.err")"
[[ $(calls update) == 3 && $(calls install) == 3 ]] || fail "a mirror that recovers: calls $(cat "$work/calls.log")"
grep -q "wine32:i386" "$work/calls.log" || fail "--all did not ask for wine32:i386"
[[ $(error_lines recovers) == 0 ]] || fail "an error reported though it succeeded: $(cat "$work/recovers.err")"

# An index that never arrives: three updates, no install, one line naming it.
run index 9 0
((status == 1)) || fail "a broken index: exit $status, expected 1"
[[ $(calls update) == 3 && $(calls install) == 0 ]] || fail "a broken index: calls $(cat "$work/calls.log")"
[[ $(error_lines index) == 1 ]] || fail "a broken index: not one error line: $(cat "$work/index.err")"
line=$(grep ": error: " "$work/index.err")
[[ $line == "install-deps.sh: error: "* ]] || fail "the error line does not say who speaks: $line"
[[ $line == *"binary-i386/Packages.xz"* && $line == *"Mirror sync in progress"* ]] || fail "the index is not named: $line"
[[ $line == *"package mirror is the cause"* ]] || fail "the mirror is not named as the cause: $line"

# A package that can't be installed: three tries, one line naming it.
run package 0 9 --all
((status == 1)) || fail "an uninstallable package: exit $status, expected 1"
[[ $(calls update) == 1 && $(calls install) == 3 ]] || fail "an uninstallable package: calls $(cat "$work/calls.log")"
[[ $(error_lines package) == 1 ]] || fail "an uninstallable package: not one error line: $(cat "$work/package.err")"
grep ": error: " "$work/package.err" | grep -q "could not get wine32:i386 (Depends: libwine:i386" ||
  fail "the package is not named: $(grep ': error: ' "$work/package.err")"

# A bad command line: exit 2 before apt is asked anything.
run usage 0 0 --everything
((status == 2)) || fail "a bad argument: exit $status, expected 2"
[[ $(calls "") == 0 ]] || fail "a bad argument still ran apt-get"
echo "install-deps.sh: retried, recovered, and named the index and the package it could not have"
