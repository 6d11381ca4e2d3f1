#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 Linux programs, 1 when it does not (a kernel
# without IA-32 emulation answers "Exec format error"). It finds out by running one: a
# 96-byte static i386 program that only exits with status 42.
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/quarix-i386-probe.XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT
# ELF header, one loadable segment at 0x08048000, then: mov eax,1; mov ebx,42; int 0x80.
printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' > "$probe"
printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' >> "$probe"
printf '\270\1\0\0\0\273\52\0\0\0\315\200' >> "$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
