#!/bin/sh
# Checks that the program is no larger than the limit. One header can pull a
# large part of the C++ runtime into a statically linked program (a single
# std::filesystem::path once brought about 800 KB of locale machinery); this
# makes such a change fail instead of passing unnoticed.
#
#   check-size.sh PROGRAM.exe [LIMIT_BYTES]
#
# The limit is 229376 bytes (224 KB) unless given. Prints the size; exits 1
# when the program is larger, 2 when it cannot be read, 0 otherwise. When it
# fails, lullcast.map beside the program tells what each object adds.
set -eu

if [ "$#" -lt 1 ] || [ "$#" -gt 2 ]; then
    echo "usage: $0 PROGRAM.exe [LIMIT_BYTES]" >&2
    exit 2
fi
program=$1
limit=${2:-229376}

if [ ! -r "$program" ]; then
    echo "check-size: cannot read $program" >&2
    exit 2
fi
size=$(wc -c <"$program" | tr -d ' ')
if [ "$size" -gt "$limit" ]; then
    echo "$program: $size bytes, more than the $limit allowed"
    exit 1
fi
echo "$program: $size bytes, within the $limit allowed"
