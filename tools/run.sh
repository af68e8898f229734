#!/usr/bin/env bash
# Sets up and builds Zonesmith, then opens it on the bundled demo area.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/setup.sh"
exec "$root/build/src/cli/zonesmith-cli" stats "$root"/demo/*.wld "$@"
