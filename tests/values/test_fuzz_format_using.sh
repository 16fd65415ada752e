#!/usr/bin/env bash
# Fuzzes the PRINT USING engine for a bounded time. Argument: the build dir.
exec bash "$(dirname "$0")/fuzz/run_fuzz.sh" "$1" format_using
