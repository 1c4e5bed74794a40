#!/usr/bin/env bash
# Compares the import table of a PE file with an allow-list and names every
# import that the list does not hold.
#   check-imports.sh OBJDUMP PROGRAM ALLOW-LIST
# The list holds one DLL!Function per line (# starts a comment); DLL names
# compare without regard to letter case, function names exactly.
set -euo pipefail
objdump=$1 program=$2 allow=$3

imports=$("$objdump" -p "$program" | awk '
  /^[ \t]*DLL Name:/ { dll = toupper($3); next }
  dll != "" && /^\t[0-9a-fA-F]+\t +[0-9]+ +[A-Za-z_]/ { print dll "!" $3 }' | sort -u)
[ -n "$imports" ] || { echo "no imports found in $program: is it a PE file?" >&2; exit 1; }

allowed=$(sed -e 's/#.*//' -e 's/[ \t\r]//g' "$allow" | awk -F'!' 'NF == 2 { print toupper($1) "!" $2 }' | sort -u)

unexpected=$(comm -23 <(echo "$imports") <(echo "$allowed"))
count=$(wc -l <<<"$imports")
if [ -n "$unexpected" ]; then
  echo "$(basename "$program") imports functions that are not in $(basename "$allow")."
  echo "Add each one that both Windows families (9x and NT 4.0) export, or stop using it:"
  sed 's/^/  /' <<<"$unexpected"
  exit 1
fi
echo "$(basename "$program"): all $count imports are allowed"
