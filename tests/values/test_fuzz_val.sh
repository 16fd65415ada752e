#!/usr/bin/env bash
# Fuzzes VAL and the STR$ texts for a bounded time. Argument: the build dir.
exec bash "$(dirname "$0")/fuzz/run_fuzz.sh" "$1" val
