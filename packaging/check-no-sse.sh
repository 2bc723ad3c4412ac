#!/bin/sh
# Checks that a program holds no SSE or SSE2 instruction, so that it runs on
# the oldest processors that the program is for (i686: Pentium II, Athlon).
#
#   check-no-sse.sh PROGRAM.exe UNSTRIPPED.exe [OBJDUMP]
#
# PROGRAM.exe is the stripped program, UNSTRIPPED.exe the same link with its
# symbols. The code of the two must be the same bytes; the unstripped one is
# disassembled with objdump (default: the mingw-w64 i686 one), and every
# function with an instruction that uses an xmm (or wider) register, or one of
# the SSE and SSE2 instructions that use none (or only MMX registers), is
# printed with the count and its first such instruction. Exits 1 when there is
# one, 2 when the programs cannot be read or differ in code, 0 otherwise.
set -eu

if [ "$#" -lt 2 ] || [ "$#" -gt 3 ]; then
    echo "usage: $0 PROGRAM.exe UNSTRIPPED.exe [OBJDUMP]" >&2
    exit 2
fi
program=$1
unstripped=$2
objdump=${3:-i686-w64-mingw32-objdump}

if [ ! -r "$program" ] || [ ! -r "$unstripped" ]; then
    echo "check-no-sse: cannot read $program or $unstripped" >&2
    exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

code_sections() {
    "$objdump" -h "$1" | awk '
        /^ *[0-9]+ / { name = $2; next }
        name != "" && /CODE/ { print name }
        { name = "" }'
}

# The bytes of every code section, without the file name objdump puts first.
code_bytes() {
    for section in $(code_sections "$1"); do
        "$objdump" -s -j "$section" "$1" | sed -n '/^Contents of section/,$p'
    done
}

if ! code_sections "$unstripped" >"$work/sections" || [ ! -s "$work/sections" ]; then
    echo "check-no-sse: $objdump found no code in $unstripped" >&2
    exit 2
fi
code_bytes "$program" >"$work/program-code"
code_bytes "$unstripped" >"$work/unstripped-code"
if ! cmp -s "$work/program-code" "$work/unstripped-code"; then
    echo "check-no-sse: the code of $program is not that of $unstripped" >&2
    exit 2
fi

# The linker puts the lists of constructors and destructors and the exception
# tables into .text too; they are data, which disassembles into anything.
data_labels='^(_*[CD]TOR_LIST__|\.ctors.*|\.dtors.*|\.gcc_except_table.*|_*etext)$'
sse_mnemonics='ldmxcsr|stmxcsr|prefetch[a-z0-9]*|sfence|lfence|mfence|clflush|movnti|movntq|'
sse_mnemonics="${sse_mnemonics}maskmovq|pshufw|pavgb|pavgw|pextrw|pinsrw|pmaxsw|pmaxub|pminsw|"
sse_mnemonics="${sse_mnemonics}pminub|pmovmskb|pmulhuw|psadbw|paddq|psubq|pmuludq"

sections_option=$(sed 's/^/-j /' "$work/sections" | tr '\n' ' ')
# shellcheck disable=SC2086 # One -j option and section name per word.
if ! "$objdump" -d -C $sections_option "$unstripped" >"$work/disassembly"; then
    echo "check-no-sse: $objdump could not disassemble $unstripped" >&2
    exit 2
fi
if "$objdump" -t "$unstripped" | grep -q '^no symbols'; then
    echo "check-no-sse: $unstripped has no symbols to name functions by" >&2
    exit 2
fi
awk -v data_labels="$data_labels" -v mnemonics="^($sse_mnemonics)\$" -v count_file="$work/functions" '
    /^[0-9a-f]+ <.*>:$/ {
        label = $0
        sub(/^[0-9a-f]+ </, "", label)
        sub(/>:$/, "", label)
        is_data = label ~ data_labels
        if (!is_data) functions++
        next
    }
    is_data { next }
    # address, bytes, instruction
    /^ +[0-9a-f]+:\t/ {
        n = split($0, field, "\t")
        if (n < 3) next
        instruction = field[3]
        split(instruction, word, " ")
        if (instruction ~ /%[xyz]mm[0-9]/ || word[1] ~ mnemonics) {
            if (!(label in count)) { order[++found] = label; first[label] = instruction }
            count[label]++
        }
    }
    END {
        for (i = 1; i <= found; i++) {
            printf "%s\t%d\t%s\n", order[i], count[order[i]], first[order[i]]
        }
        print functions + 0 >count_file
    }' "$work/disassembly" >"$work/found"

functions=$(cat "$work/functions")
if [ -s "$work/found" ]; then
    echo "$program holds SSE or SSE2 instructions in $(wc -l <"$work/found" | tr -d ' ') functions" \
        "(count, first one):"
    awk -F '\t' '{ printf "  %s: %d, %s\n", $1, $2, $3 }' "$work/found"
    exit 1
fi
echo "$program: no SSE or SSE2 instruction in its $functions functions"
