#!/usr/bin/env bash
# Installs what is missing, builds the Python module and serves the demo site on 127.0.0.1
# (PORT, default 8000; WORKERS gunicorn processes, default 2) until Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANE_PYTHON=ON >/dev/null
cmake --build build --target kelvane_python
port=${PORT:-8000}
echo "Kelvane demo: http://127.0.0.1:$port/" >&2
exec bash web/serve.sh "$port" "${WORKERS:-2}" build/python
