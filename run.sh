#!/usr/bin/env bash
# Installs what is missing, builds, and starts Stridemere Logbook.
cd "$(dirname "$0")"
source scripts/common.sh
ensure_packages
build build
exec build/bin/StridemereLogbook "$@"
