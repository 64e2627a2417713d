#!/usr/bin/env bash
# Fails when an include arrow points up a floor or two files include each
# other (tools/review/include-graph.py; --draw prints the folder arrows).
set -euo pipefail
cd "$(dirname "$0")/.."
python3 tools/review/include-graph.py "$@"
