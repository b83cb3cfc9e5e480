#!/usr/bin/env bash
# The browser test: serves the demo site on a free local port with two gunicorn workers and
# drives headless Chromium over it (site.test.js). run.sh MODULE_DIR OUT_DIR; screenshots and the
# server's log go to OUT_DIR. Fails, never skips, when something it needs is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
module_dir=$1 out_dir=$2
mkdir -p "$out_dir"
chromium=${CHROMIUM:-$(command -v chromium || true)}
[[ -x "$chromium" ]] || { echo "browser test: chromium is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }
command -v npm >/dev/null || { echo "browser test: npm is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }

# playwright-core as pinned by package-lock.json, installed by npm ci when it is not there yet.
pinned_is_installed() {
  node -e "const lock = require('$here/package-lock.json').packages['node_modules/playwright-core'];
           process.exit(require('$here/node_modules/playwright-core/package.json').version === lock.version ? 0 : 1)" 2>/dev/null
}
pinned_is_installed || (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
bash "$here/../../web/serve.sh" "$port" 2 "$module_dir" >"$out_dir/gunicorn.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true' EXIT

site="http://127.0.0.1:$port"
for _ in $(seq 100); do
  kill -0 "$server" 2>/dev/null || { echo "browser test: the site did not start:" >&2; cat "$out_dir/gunicorn.log" >&2; exit 1; }
  /usr/bin/python3 -c "import urllib.request as u; u.urlopen('$site/healthz', timeout=2)" 2>/dev/null && break
  sleep 0.3
done

KELVANE_SITE=$site KELVANE_SCREENSHOTS=$out_dir CHROMIUM=$chromium node --test "$here/site.test.js"
