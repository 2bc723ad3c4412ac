#!/bin/sh
# Checks that a program imports only functions of an allow-list, so that it
# still loads on the oldest Windows that the list stands for.
#
#   check-imports.sh PROGRAM.exe ALLOW_LIST [OBJDUMP]
#
# Reads the program's import table with objdump (default: the mingw-w64 i686
# one) and prints every import that the list lacks, as DLL!Function (or
# DLL!#ordinal for an import by number). Exits 1 when there is one, 2 when the
# table cannot be read, 0 otherwise.
set -eu

if [ "$#" -lt 2 ] || [ "$#" -gt 3 ]; then
    echo "usage: $0 PROGRAM.exe ALLOW_LIST [OBJDUMP]" >&2
    exit 2
fi
program=$1
allow_list=$2
objdump=${3:-i686-w64-mingw32-objdump}

if [ ! -r "$program" ] || [ ! -r "$allow_list" ]; then
    echo "check-imports: cannot read $program or $allow_list" >&2
    exit 2
fi

# One DLL!Function a line, DLL names in lower case: Windows matches them
# without regard to case, and linkers spell them either way.
imports_of() {
    "$objdump" -p "$1" | awk '
        /^The Import Tables/ { in_table = 1; next }
        in_table && /^The (Export|Resource|Relocation)|^PE File Base Relocations/ { in_table = 0 }
        !in_table { next }
        /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
        dll != "" && /^\t[0-9a-f]+\t/ {
            # vma, hint (or ordinal), name; a line without a name is by ordinal.
            if (NF >= 3) print dll "!" $3
            else print dll "!#" $2
        }'
}

listed() {
    awk '!/^[[:space:]]*(#|$)/ {
        split($1, part, "!")
        print tolower(part[1]) "!" part[2]
    }' "$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! imports_of "$program" | sort -u >"$work/imports"; then
    echo "check-imports: $objdump could not read $program" >&2
    exit 2
fi
if [ ! -s "$work/imports" ]; then
    echo "check-imports: no import table found in $program" >&2
    exit 2
fi
listed "$allow_list" | sort -u >"$work/allowed"

comm -23 "$work/imports" "$work/allowed" >"$work/extra"
count=$(wc -l <"$work/imports" | tr -d ' ')
if [ -s "$work/extra" ]; then
    echo "$program imports functions that $allow_list does not allow:"
    sed 's/^/  /' "$work/extra"
    exit 1
fi
echo "$program: all $count imports are allowed by $allow_list"
