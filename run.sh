#!/usr/bin/env bash
# Installs what is missing, builds the program and the simulated watch (not the
# tests), and starts the program.
cd "$(dirname "$0")"
source scripts/common.sh
ensure_packages
build_program build
exec build/bin/StridemereLogbook "$@"
