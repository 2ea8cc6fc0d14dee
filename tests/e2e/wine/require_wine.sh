# Sourced by every test that runs a Windows program under Wine. Wine's 32-bit
# loader is an i386 Linux program; a kernel built without IA-32 emulation
# refuses it ("Exec format error"), and then no Windows program can run on
# this machine at all: the test is skipped (exit 77) and says why. Any other
# trouble with Wine is a failure.
command -v wine >/dev/null || { echo "FAIL: wine is not installed (tools/install-deps.sh)"; exit 1; }
if ! wine_check=$(WINEDEBUG=-all wine --version 2>&1); then
  if grep -q "Exec format error" <<<"$wine_check"; then
    echo "SKIP: this machine's kernel does not run 32-bit programs, so Wine can't start (${wine_check##*: })"
    exit 77
  fi
  echo "FAIL: wine --version: $wine_check"
  exit 1
fi
unset wine_check
