#!/bin/sh
# Installs the locked playwright-core next to the tests unless it is there
# already (npm ci would delete and fetch it again on every run).
set -eu
cd "$(dirname "$0")"
wanted=$(node -p "require('./package-lock.json').packages['node_modules/playwright-core'].version")
have=$(node -p "try { require('./node_modules/playwright-core/package.json').version } catch { '' }")
if [ "$wanted" != "$have" ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
echo "playwright-core $wanted"
