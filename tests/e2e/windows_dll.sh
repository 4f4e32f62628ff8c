#!/usr/bin/env bash
# What a Windows host sees of the plug-in DLL: exactly the three entry
# functions exported by their plain names, imports of system DLLs and the
# platform DLL only (no MinGW runtime DLL a user would lack), and a version
# resource.
# Usage: windows_dll.sh OBJDUMP DLL
set -euo pipefail
objdump=$1 dll=$2
headers=$("$objdump" -p "$dll")
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<< "$headers" | awk '/\[ *[0-9]+\]/ {print $NF}' | sort | tr '\n' ' ')
[ "$exports" = "MMExpertEntryProc MMExpertExitProc MMExpertVersionProc " ] ||
  { echo "exports: '$exports'"; exit 1; }
imports=$(awk '/DLL Name:/ {print $3}' <<< "$headers")
for dll_name in $imports; do
  case "$dll_name" in
    libdrvx_platform.dll | [A-Z]*.dll | msvcrt.dll | api-ms-win-*) ;;
    *) echo "imports $dll_name, which is not a system DLL"; exit 1 ;;
  esac
done
"$objdump" -h "$dll" | grep -q ' \.rsrc ' || { echo "no resource section"; exit 1; }
echo "exports and imports as a host expects:" $exports "/" $imports
