#!/usr/bin/env bash
# Serves the demo site with gunicorn on 127.0.0.1: serve.sh PORT WORKERS MODULE_DIR, where
# MODULE_DIR holds the built kelvane module (build/python). Runs in the foreground.
set -euo pipefail
port=$1 workers=$2 module_dir=$(cd "$3" && pwd)
web=$(cd "$(dirname "$0")" && pwd)
# Debian's gunicorn, run by the python3 that has Flask and that the module was built for.
export PYTHONPATH="$module_dir${PYTHONPATH:+:$PYTHONPATH}"
exec /usr/bin/python3 -m gunicorn --chdir "$web" --workers "$workers" --bind "127.0.0.1:$port" \
  --access-logfile - --error-logfile - 'demo:create_app()'
