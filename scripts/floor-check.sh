#!/usr/bin/env bash
# Checks that a corvane.exe starts on the oldest Windows its archive names,
# which Wine cannot show: Wine exports every function whatever version it
# reports, while the loader of an older Windows refuses a program that imports
# a single function it lacks.
#   floor-check.sh EXE...
# For each program, by its PE kind:
#   PE32  (win32 archive)  Windows 2000 SP4, version 5.0, on an i686 without SSE2
#   PE32+ (win64 archive)  Windows XP x64 / Server 2003 x64, version 5.2
# It fails on
#   - an import that is not on the list scripts/floor-imports.txt, or that the
#     list gives a later minimum than the floor;
#   - an OS or subsystem version in the PE header above the floor;
#   - for PE32, an xmm register anywhere in the code. The linker puts the C++
#     exception tables into the code section too; when the link map that the
#     build writes beside the program (corvane.map) is there, their range is
#     left out, since their bytes are data that may disassemble as anything.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
list="$here/floor-imports.txt"
objdump=x86_64-w64-mingw32-objdump   # reads PE32 and PE32+ alike
# Its headings are parsed below, in English: binutils translates them under
# another language (the test sessions run with LC_ALL=zh_CN.UTF-8 for Wine).
export LC_ALL=C
[ $# -gt 0 ] || { echo "usage: floor-check.sh EXE..." >&2; exit 2; }

# An awk function for hexadecimal numbers: Debian's default awk (mawk) has
# no strtonum.
awk_hex='function hex(s,   i, n) { n = 0; s = tolower(s); sub(/^0x/, "", s)
    for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return n }'

# "5.2" -> 502, for comparing versions as numbers.
version_number() { local major="${1%%.*}" minor="${1#*.}"; echo $((major * 100 + minor)); }

check_one() {
    local exe="$1" failures=0 format floor floor_name arch
    format="$($objdump -f "$exe" | sed -n 's/.*file format //p')"
    case "$format" in
        pei-i386) arch=win32; floor=5.0; floor_name="Windows 2000 SP4" ;;
        pei-x86-64) arch=win64; floor=5.2; floor_name="Windows XP x64 / Server 2003 x64" ;;
        *) echo "floor: $exe is not a Windows program ($format)" >&2; return 1 ;;
    esac
    local headers
    headers="$($objdump -p "$exe")"

    # The PE header's versions: the loader of an older Windows refuses a
    # program that asks for a later one.
    local field value
    for field in OSystem Subsystem; do
        value="$(awk -v f="$field" '$1 == "Major" f "Version" { major = $2 } $1 == "Minor" f "Version" { minor = $2 }
                     END { print major "." minor }' <<<"$headers")"
        if [ "$(version_number "$value")" -gt "$(version_number "$floor")" ]; then
            echo "floor: $exe ($arch): ${field/OSystem/OS} version $value in the PE header is above the floor $floor ($floor_name)" >&2
            failures=$((failures + 1))
        fi
    done

    # Every imported function against the list: "dll function minimum".
    local imports
    imports="$(awk '/^\tDLL Name: / { dll = tolower($3); next }
                    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ { print dll, $3; next }
                    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ *$/ { print dll, "#" $2; next }' <<<"$headers" | sort -u)"
    [ -n "$imports" ] || { echo "floor: $exe ($arch): no import table found" >&2; return 1; }
    local verdicts
    verdicts="$(awk -v floor="$(version_number "$floor")" -v floor_name="$floor_name" '
        FNR == NR {
            if ($0 ~ /^[[:space:]]*(#|$)/) next
            split($3, v, ".")
            minimum[tolower($1) " " $2] = v[1] * 100 + v[2]
            shown[tolower($1) " " $2] = $3
            next
        }
        {
            key = $1 " " $2
            if (!(key in minimum))
                print $1 "!" $2 ": not on the list of functions known to exist on " floor_name
            else if (minimum[key] > floor)
                print $1 "!" $2 ": the list gives it " shown[key] ", later than " floor_name
        }' "$list" - <<<"$imports")"
    if [ -n "$verdicts" ]; then
        while IFS= read -r line; do echo "floor: $exe ($arch) imports $line" >&2; done <<<"$verdicts"
        failures=$((failures + $(wc -l <<<"$verdicts")))
        echo "floor: an import that does exist there goes on scripts/floor-imports.txt with its documented" \
             "minimum; one that does not is looked up with GetProcAddress, with a fallback." >&2
    fi

    if [ "$arch" = win32 ]; then
        local map skip_from=0 skip_to=0 hits
        map="$(dirname "$exe")/corvane.map"
        if [ -f "$map" ]; then
            read -r skip_from skip_to < <(awk "$awk_hex"'
                /^ \.gcc_except_table/ { getline; start = hex($1); end = start + hex($2)
                                         if (!lo || start < lo) lo = start; if (end > hi) hi = end }
                END { print lo + 0, hi + 0 }' "$map")
        fi
        hits="$($objdump -d --no-show-raw-insn "$exe" | awk -v lo="$skip_from" -v hi="$skip_to" "$awk_hex"'
            /^ *[0-9a-f]+:\t/ { address = $1; sub(/:$/, "", address); address = hex(address)
                                if (address >= lo && address < hi) next
                                if ($0 ~ /%xmm|%ymm|%mxcsr/) print }')"
        if [ -n "$hits" ]; then
            echo "floor: $exe ($arch) uses SSE registers, which an i686 without SSE2 lacks:" >&2
            head -5 <<<"$hits" >&2
            failures=$((failures + 1))
        fi
    fi

    if [ $failures -gt 0 ]; then
        echo "floor: $exe ($arch) would not start on $floor_name: $failures finding(s)." >&2
        return 1
    fi
    all_imports+="$imports"$'\n'
    seen_arches+=" $arch"
    local counts
    counts="$(awk '{ n[$1]++ } END { for (d in n) printf "%s %d, ", d, n[d] }' <<<"$imports" | sed 's/, $//')"
    echo "floor: $exe ($arch) starts on $floor_name: $(wc -l <<<"$imports") imports ($counts), PE versions within $floor"
}

status=0
all_imports=""
seen_arches=""
for exe in "$@"; do
    check_one "$exe" || status=1
done

# Given both programs, the list must hold nothing that neither imports: it
# stays the record of what Corvane uses, not of what it once did.
if [[ "$seen_arches" == *win32* && "$seen_arches" == *win64* ]]; then
    stale="$(awk 'FNR == NR { used[$1 " " $2] = 1; next }
                  $0 !~ /^[[:space:]]*(#|$)/ && !((tolower($1) " " $2) in used) { print $1 "!" $2 }' \
                 - "$list" <<<"$all_imports")"
    if [ -n "$stale" ]; then
        while IFS= read -r line; do
            echo "floor: $line is on scripts/floor-imports.txt, but neither program imports it: take its line out" >&2
        done <<<"$stale"
        status=1
    fi
fi
exit $status
