#!/bin/sh
# Installs the locked playwright-core into the folder given (in the build
# tree; the source tree is never written), unless it is there already (npm ci
# would delete and fetch it again on every run).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
driver=$1
mkdir -p "$driver"
cp "$here/package.json" "$here/package-lock.json" "$driver/"
cd "$driver"
wanted=$(node -p "require('./package-lock.json').packages['node_modules/playwright-core'].version")
have=$(node -p "try { require('./node_modules/playwright-core/package.json').version } catch { '' }")
if [ "$wanted" != "$have" ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
echo "playwright-core $wanted in $driver"
