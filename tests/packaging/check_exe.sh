#!/usr/bin/env bash
# Checks the shipped Trelvik.exe as a user's machine would meet it: a 64-bit GUI program that loads
# nothing but Windows' own DLLs (a forgotten -static would make it ask for the MinGW runtime DLLs,
# which no user has), with its icon, cursors, ball image, version 1.1.0.10 and the per-monitor-v2
# manifest compiled in. Reads the file with binutils only; runs on Linux and under MSYS2.
#
# Usage: check_exe.sh path/to/Trelvik.exe        Exit 0 when every check passes, 1 otherwise.
set -euo pipefail

exe=${1:?usage: check_exe.sh path/to/Trelvik.exe}
[ -f "$exe" ] || { echo "check_exe: no such file: $exe" >&2; exit 1; }

triple=x86_64-w64-mingw32
objdump=$triple-objdump
objcopy=$triple-objcopy
# MSYS2's mingw64 shell names them without the prefix.
command -v "$objdump" >/dev/null || { objdump=objdump; objcopy=objcopy; }

version=1.1.0.10
# Windows' own DLLs the program may import, lower case. Anything else fails: if a new import is a
# system DLL, add it here; if it is a toolchain runtime, link it statically instead.
# One line, every name between spaces: the check looks for " name ".
system_dlls=" advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll gdiplus.dll imm32.dll "
system_dlls+="kernel32.dll msimg32.dll msvcrt.dll ntdll.dll ole32.dll oleaut32.dll shcore.dll shell32.dll "
system_dlls+="shlwapi.dll ucrtbase.dll user32.dll uxtheme.dll version.dll winmm.dll "

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$objdump" -p "$exe" >"$tmp/headers" || { echo "check_exe: $objdump cannot read $exe" >&2; exit 1; }

# 1. PE32+ for x86-64, and a GUI program (a console program would open a console window).
grep -q 'file format pei-x86-64' "$tmp/headers" || fail "not an x86-64 PE file"
grep -qE '^Magic[[:space:]]+020b[[:space:]]+\(PE32\+\)' "$tmp/headers" || fail "not PE32+"
grep -qE '^Subsystem[[:space:]]+0+2[[:space:]]' "$tmp/headers" || fail "not a Windows GUI program"

# 2. Imports: Windows system DLLs only.
mapfile -t dlls < <(sed -n 's/^[[:space:]]*DLL Name: //p' "$tmp/headers" | tr -d '\r')
[ ${#dlls[@]} -gt 0 ] || fail "no imported DLLs found (cannot read the import table)"
for dll in "${dlls[@]}"; do
    lower=${dll,,}
    case $lower in
    libstdc++* | libgcc* | libwinpthread* | libssp* | libatomic* | libgomp*)
        fail "imports the MinGW runtime DLL $dll (link with -static -static-libgcc -static-libstdc++)"
        ;;
    api-ms-win-*.dll) ;;
    *) [[ $system_dlls == *" $lower "* ]] || fail "imports $dll, which is not a known Windows system DLL" ;;
    esac
done
[[ " ${dlls[*],,} " == *" kernel32.dll "* ]] || fail "does not import KERNEL32.dll"

# 3. Resources. objdump lists the resource tree as "Entry: ID:" lines indented by level (type, name,
# language) with each leaf's RVA and size; collect type:name pairs and where the manifest lies.
awk '
    /^[0-9a-f]+   Entry: ID: 0x/   { type = $4 }
    /^[0-9a-f]+     Entry: ID: 0x/ { name = $4; print "res", type, name }
    /Leaf: Addr: 0x/               { print "leaf", type, name, $4, $6 }' "$tmp/headers" | tr -d , >"$tmp/tree"
resources=" "
manifest_rva=0 manifest_size=0
while read -r what type name addr size; do
    if [ "$what" = res ]; then
        resources+="$((type)):$((name)) "
    elif [ $((type)) -eq 24 ] && [ $((name)) -eq 1 ]; then
        manifest_rva=$((addr)) manifest_size=$((size))
    fi
done <"$tmp/tree"
for want in "14:1 icon IDI_TRELVIK" "12:101 cursor IDC_HAND_RULER" "12:102 cursor IDC_BALL" "2:201 bitmap IDB_BALL" \
    "16:1 version information" "24:1 application manifest"; do
    [[ $resources == *" ${want%% *} "* ]] || fail "resource missing: ${want#* }"
done

"$objcopy" -O binary --only-section=.rsrc "$exe" "$tmp/rsrc" 2>/dev/null || : >"$tmp/rsrc"
# The section as space-separated hex bytes, so that byte patterns only ever match on byte boundaries.
bytes=" $(od -An -v -tx1 "$tmp/rsrc" | tr -s ' \n' '  ')"
utf16() { # text -> its UTF-16LE bytes in the same notation
    local s=$1 out="" i
    for ((i = 0; i < ${#s}; i++)); do out+=$(printf ' %02x 00' "'${s:i:1}"); done
    printf '%s' "$out"
}

# Fixed file information: signature FEEF04BD, structure 1.0, then file and product version 1.1.0.10
# (most significant DWORD 1.1 = 0x00010001, least significant 0.10 = 0x0000000A).
fixed=" bd 04 ef fe 00 00 01 00 01 00 01 00 0a 00 00 00 01 00 01 00 0a 00 00 00"
[[ $bytes == *"$fixed"* ]] || fail "fixed version is not $version"
# The version strings: key, its terminating NUL and alignment padding, then the value.
for key in FileVersion ProductVersion; do
    grep -qE "$(utf16 "$key")( 00 00){1,2}$(utf16 "$version") 00 00" <<<"$bytes" ||
        fail "$key string is not $version"
done

# The manifest is stored as its UTF-8 text; check the resource itself, not any string in the file.
# Leaf addresses are RVAs: subtract the section's RVA (its address less the image base).
image_base=$(awk '$1 == "ImageBase" { print $2 }' "$tmp/headers")
rsrc_vma=$("$objdump" -h "$exe" | awk '$2 == ".rsrc" { print $4 }')
if [ "$manifest_size" -gt 0 ] && [ -n "$image_base" ] && [ -n "$rsrc_vma" ]; then
    offset=$((manifest_rva - (16#$rsrc_vma - 16#$image_base)))
    # head first: it reads the file itself, so no stage of the pipe is cut off early (pipefail).
    head -c $((offset + manifest_size)) "$tmp/rsrc" | tail -c "$manifest_size" >"$tmp/manifest"
    grep -q '<dpiAwareness[^>]*>[^<]*PerMonitorV2' "$tmp/manifest" || fail "manifest does not ask for PerMonitorV2"
    grep -q 'Microsoft.Windows.Common-Controls' "$tmp/manifest" || fail "manifest lacks the Common Controls 6 dependency"
    grep -qE "<assemblyIdentity[^>]*name=\"Trelvik\"[^>]*version=\"$version\"" "$tmp/manifest" ||
        fail "manifest identity is not Trelvik $version"
else
    fail "cannot locate the manifest resource"
fi

if [ "$failures" -ne 0 ]; then
    echo "check_exe: $failures check(s) failed for $exe" >&2
    exit 1
fi
echo "check_exe: $exe is x64 PE32+, imports only system DLLs (${dlls[*]}), version $version, PerMonitorV2 manifest"
