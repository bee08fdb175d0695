#!/bin/bash
# Fails unless the executable imports only system DLLs.
# Usage: check_imports.sh OBJDUMP EXECUTABLE [ALLOWED_DLLS_REGEX]
set -eu
allowed=${3:-'^(KERNEL32|USER32|IMM32|msvcrt)\.dll$'}
imports=$("$1" -p "$2" | sed -n 's/^\s*DLL Name: //p')
echo "$2 imports:" $imports
bad=$(echo "$imports" | grep -v -i -E "$allowed" || true)
if [ -n "$bad" ]; then
    echo "not a system DLL: $bad" >&2
    exit 1
fi
