#!/bin/sh
# Installs the locked playwright-core and puppeteer-core into the folder given (in the build
# tree; the source tree is never written), unless it is there already (npm ci
# would delete and fetch it again on every run).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
driver=$1
mkdir -p "$driver"
cp "$here/package.json" "$here/package-lock.json" "$driver/"
cd "$driver"
# The drivers' versions as locked (from), and as installed.
versions() {
  node -e "const from = process.argv[1];
    console.log(['playwright-core', 'puppeteer-core'].map((name) => {
      try { return name + ' ' + (from ? require(from).packages['node_modules/' + name].version
                                      : require('./node_modules/' + name + '/package.json').version); }
      catch { return name + ' none'; }
    }).join(', '))" "$@"
}
wanted=$(versions ./package-lock.json)
have=$(versions)
if [ "$wanted" != "$have" ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
echo "$wanted in $driver"
