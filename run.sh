#!/usr/bin/env bash
# Installs what is missing, builds, and starts the designer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
if [[ -x build/lapora ]]; then
    exec build/lapora
fi
exec build/lapora-cli
