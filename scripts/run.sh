#!/usr/bin/env bash
# Installs what is missing, builds, and starts the logger. The contest's working directory
# (log.txt, tntnprf.txt, ...) is $VARDEL_WORKDIR, by default contest/ in this checkout.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
work=${VARDEL_WORKDIR:-$root/contest}
mkdir -p "$work"
cd "$work"
exec "${VARDEL_BUILD_DIR:-$root/build}/vardel" "$@"
