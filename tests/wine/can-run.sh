#!/bin/bash
# Succeeds when this machine can run 32-bit Windows programs under Wine. Some
# kernels are built or booted with 32-bit x86 emulation switched off; Wine's
# 32-bit loader then fails at once with "Exec format error".
/usr/lib/wine/wine --version >/dev/null 2>&1
