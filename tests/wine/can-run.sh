#!/bin/bash
# Succeeds when this machine can run Windows programs of that many bits under
# Wine. Some kernels are built or booted with 32-bit x86 emulation switched
# off; Wine's 32-bit loader then fails at once with "Exec format error".
# Usage: can-run.sh 32|64
case "${1:-}" in
32) /usr/lib/wine/wine --version >/dev/null 2>&1 ;;
64) /usr/lib/wine/wine64 --version >/dev/null 2>&1 ;;
*) echo "usage: can-run.sh 32|64" >&2 && exit 2 ;;
esac
