#!/usr/bin/env bash
# Checks a shipped plug-in as far as a Linux machine can: its file name, its architecture and file
# type, that it exports exactly its entry points, that it imports only the host operations and
# system functions our stubs and lists in ship/ name, on Linux that it needs no glibc version newer
# than 2.17, on macOS that it asks for no newer libmx and libmex than MATLAB's, and on Apple silicon
# that its code signature holds.
#
#   check_deliverable.sh windows     <plug-in> <expected file name> <folder with libmx.def, libmex.def,
#                                                                    kernel32.def, msvcrt.def>
#   check_deliverable.sh macos       <plug-in> <expected file name> <folder with libmx.tbd, libmex.tbd,
#                                                                    libSystem.tbd>
#   check_deliverable.sh macos-arm64 <plug-in> <expected file name> <the same>
#   check_deliverable.sh linux       <plug-in> <expected file name> <folder with libmx.ifs, libmex.ifs,
#                                                                    libc.so.6.map, libpthread.so.0.map>
#
# Prints one line per check, "ok ..." or "FAIL ...", and exits 1 when any check fails.
# Tools: llvm-readobj, llvm-nm and llvm-objdump (override with LLVM_READOBJ, LLVM_NM, LLVM_OBJDUMP),
# od, dd and sha256sum.
set -uo pipefail
export LC_ALL=C

platform=$1 plugin=$2 expected=$3 stubs=$4
readobj=${LLVM_READOBJ:-llvm-readobj}
nm=${LLVM_NM:-llvm-nm}
objdump=${LLVM_OBJDUMP:-llvm-objdump}
failures=0

# Reports one check: pass <what> or fail <what>.
pass() { echo "ok    $*"; }
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

# The names a .def file exports, one a line.
def_exports() { sed -e 's/;.*//' "$1" | awk '/^EXPORTS/ { listing = 1; next } listing && NF { print $1 }'; }

# The symbols a .tbd stub exports, one a line.
tbd_exports() { sed -n '/symbols:/,/]/p' "$1" | sed -e 's/symbols://' | tr -d '[],' | tr -s ' \n' '\n' | sed '/^$/d'; }

# The symbols an .ifs stub lists, one a line.
ifs_exports() { sed -n 's/.*Name: *\([^ ,}]*\).*/\1/p' "$1"; }

# The symbols a version script (ship/linux/<soname>.map) gives a version, as symbol@version, one a
# line: each name ended by a semicolon after "global:" inside a version's braces.
map_symbols() {
  sed -e 's/#.*//' -e 's/\([{};:]\)/ \1 /g' "$1" | tr -s ' \t\n' '\n' | awk '
    $0 == "{" { version = previous; listing = 0 }
    $0 == "}" { version = ""; listing = 0 }
    $0 == ":" { listing = previous == "global" }
    $0 == ";" && listing && version != "" { print previous "@" version }
    { previous = $0 }'
}

# The versions an ELF plug-in needs, "library version" a line (llvm-readobj --version-info).
elf_version_needs() {
  "$readobj" --version-info "$plugin" | awk '
    /^[A-Za-z]+ \[/ { section = $1 }
    section == "VersionRequirements" && $1 == "FileName:" { file = $2 }
    section == "VersionRequirements" && $1 == "Name:" { print file, $2 }'
}

# The symbols an ELF plug-in imports, one a line: an unversioned one by its name, a versioned one
# as library:symbol@version, the library being the one its version is needed from.
elf_imports() {
  { "$readobj" --version-info "$plugin"; echo "Imports ["; "$nm" --dynamic --undefined-only --just-symbol-name "$plugin"; } | awk '
    /^[A-Za-z]+ \[/ { section = $1; next }
    section == "VersionSymbols" && $1 == "Version:" { number = $2 }
    section == "VersionSymbols" && $1 == "Name:" { versionOf[$2] = number }
    section == "VersionRequirements" && $1 == "FileName:" { file = $2 }
    section == "VersionRequirements" && $1 == "Index:" { fileOf[$2] = file }
    section == "Imports" && NF == 1 {
      if (index($1, "@") == 0) print $1
      else print (versionOf[$1] in fileOf ? fileOf[versionOf[$1]] : "?") ":" $1
    }'
}

# The lines of $1 that are not lines of $2 (both sorted on the fly).
extra_lines() { comm -23 <(sort -u <<<"$1") <(sort -u <<<"$2"); }

words() { tr '\n' ' ' <<<"$1" | sed 's/ $//'; }

check_windows() {
  local headers exports imports dll symbols listed extra
  headers=$("$readobj" --file-headers "$plugin") || { fail "$plugin is not a PE file"; return; }
  check "64-bit x86 code (AMD64, PE32+)" grep -q 'Machine: IMAGE_FILE_MACHINE_AMD64' <<<"$headers"
  grep -q 'Magic: 0x20B' <<<"$headers" || fail "not PE32+"
  check "a DLL" grep -q 'IMAGE_FILE_DLL' <<<"$headers"

  exports=$("$readobj" --coff-exports "$plugin" | sed -n 's/^ *Name: //p' | sort)
  if [ "$exports" = "mexFunction" ]; then pass "exports mexFunction alone"
  else fail "exports [$(words "$exports")], expected [mexFunction]"; fi

  # "dll symbol" for every imported symbol, the DLL name in lower case.
  imports=$("$readobj" --coff-imports "$plugin" | awk '
    /^Import \{/ { dll = "" }
    /^  Name: / { dll = tolower($2) }
    /^  Symbol: / { print dll, $2 }')
  # The host libraries, and the Windows system libraries whose functions kernel32.def and
  # msvcrt.def list: from each, only what its list names.
  for dll in libmx.dll libmex.dll; do
    grep -q "^$dll " <<<"$imports" || fail "imports nothing from $dll"
  done
  for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
    case $dll in
      libmx.dll | libmex.dll | kernel32.dll | msvcrt.dll) ;;
      *) fail "imports $dll, neither a host library nor a Windows system library"; continue ;;
    esac
    symbols=$(awk -v dll=$dll '$1 == dll { print $2 }' <<<"$imports")
    listed=$(def_exports "$stubs/${dll%.dll}.def")
    extra=$(extra_lines "$symbols" "$listed")
    if [ -n "$extra" ]; then fail "imports from $dll what ${dll%.dll}.def does not list: $(words "$extra")"
    else pass "imports from $dll only what ${dll%.dll}.def lists ($(wc -l <<<"$symbols") functions)"; fi
  done
}

# The release entry point `symbol` stores 0x2017B through its first pointer and 0 through its
# second: x86-64 code (`movl $0x2017b, (%rdi)`, `movl $0x0, (%rsi)`) or arm64 code (the constant
# built in a register by mov and movk, stored to [x0]; the zero register stored to [x1]).
check_api_version() {
  local symbol=$1 code register stores
  code=$("$objdump" -d --print-imm-hex --no-show-raw-insn --disassemble-symbols="$symbol" "$plugin")
  if grep -q 'movl.*\$0x2017b, (%rdi)' <<<"$code" && grep -q 'movl.*\$0x0, (%rsi)' <<<"$code"; then
    stores=yes
  else
    register=$(sed -n 's/.*mov[[:space:]]*\(w[0-9]*\), #0x17b$/\1/p' <<<"$code")
    if [ -n "$register" ] && grep -q "movk[[:space:]]*$register, #0x2, lsl #16" <<<"$code" &&
       grep -q "str[[:space:]]*$register, \[x0\]" <<<"$code" && grep -q 'str[[:space:]]*wzr, \[x1\]' <<<"$code"; then
      stores=yes
    fi
  fi
  if [ "${stores:-}" = yes ]; then pass "$symbol writes 0x2017B and 0"
  else fail "$symbol does not write 0x2017B and 0"; fi
}

# A big-endian 32-bit number at byte `offset` of the plug-in.
be32() { echo $((16#$(od -An -tx1 -j "$1" -N 4 "$plugin" | tr -d ' \n'))); }
# `count` bytes from byte `offset` of the plug-in, in hexadecimal.
hex_bytes() { od -An -tx1 -v -j "$1" -N "$2" "$plugin" | tr -d ' \n'; }

# The offset of the code directory (magic 0xfade0c02) of the code signature at `dataoff`, a
# superblob (magic 0xfade0cc0) whose index lists the directory as slot 0; nothing if there is none.
code_directory() {
  local dataoff=$1 count slot directory
  [ "$(be32 "$dataoff")" -eq $((0xfade0cc0)) ] || return
  count=$(be32 $((dataoff + 8)))
  for ((slot = 0; slot < count; slot++)); do
    [ "$(be32 $((dataoff + 12 + 8 * slot)))" -eq 0 ] || continue
    directory=$((dataoff + $(be32 $((dataoff + 16 + 8 * slot)))))
    if [ "$(be32 "$directory")" -eq $((0xfade0c02)) ]; then echo "$directory"; fi
  done
}

# How many pages of `page` bytes of the file's first `limit` bytes differ from their SHA-256
# hashes, listed from byte `hashes` on.
mismatched_pages() {
  local limit=$1 page=$2 hashes=$3 start length bad=0
  for ((start = 0; start < limit; start += page)); do
    length=$((limit - start < page ? limit - start : page))
    if [ "$(dd if="$plugin" bs=65536 iflag=skip_bytes,count_bytes skip=$start count=$length 2>/dev/null |
            sha256sum | cut -c1-64)" != "$(hex_bytes $((hashes + 32 * start / page)) 32)" ]; then
      bad=$((bad + 1))
    fi
  done
  echo $bad
}

# The ad-hoc code signature of an arm64 bundle: a code directory with a SHA-256 hash of every
# page before the signature, each matching the file. macOS on Apple silicon runs no code without.
check_code_signature() {
  local headers=$1 dataoff directory flags hashes slots limit hashsize hashtype page bad
  dataoff=$(grep -A3 'cmd LC_CODE_SIGNATURE' <<<"$headers" | awk '$1 == "dataoff" { print $2 }')
  if [ -z "$dataoff" ]; then fail "no code signature (LC_CODE_SIGNATURE)"; return; fi
  directory=$(code_directory "$dataoff")
  if [ -z "$directory" ]; then fail "code signature holds no code directory"; return; fi
  # Fields of the code directory: flags, where the hashes start, how many, the bytes they cover;
  # then the bytes hash size, hash type, platform and log2 of the page size.
  flags=$(be32 $((directory + 12)))
  hashes=$((directory + $(be32 $((directory + 16)))))
  slots=$(be32 $((directory + 28)))
  limit=$(be32 $((directory + 32)))
  read -r hashsize hashtype page < <(od -An -tu1 -j $((directory + 36)) -N 4 "$plugin" | awk '{ print $1, $2, 2 ^ $4 }')
  if (( (flags & 2) == 0 )); then fail "code signature is not ad hoc (flags $(printf 0x%x "$flags"))"
  elif [ "$hashtype" -ne 2 ] || [ "$hashsize" -ne 32 ]; then fail "code signature hashes are not SHA-256"
  elif [ "$limit" -ne "$dataoff" ]; then fail "code signature covers $limit bytes, not the $dataoff before it"
  elif [ "$slots" -ne $(((limit + page - 1) / page)) ]; then fail "code signature hashes $slots pages of $limit bytes"
  else
    bad=$(mismatched_pages "$limit" "$page" "$hashes")
    if [ "$bad" -gt 0 ]; then fail "code signature does not match the file in $bad of $slots pages"
    else pass "an ad-hoc code signature that matches the file ($slots pages of $page bytes)"; fi
  fi
}

# `cputype` X86_64 or ARM64, the minimum macOS `minos` (10.13 or 11.0).
check_macos() {
  local cputype_expected=$1 minos=$2
  local headers exports imports library symbols listed extra dylibs used version
  headers=$("$objdump" --macho --private-headers "$plugin") || { fail "$plugin is not a Mach-O file"; return; }
  # The line after the header's column names: magic cputype cpusubtype caps filetype ...
  read -r magic cputype _ _ filetype _ < <(grep -A1 '^ *magic cputype' <<<"$headers" | tail -1)
  if [ "$magic $cputype" = "MH_MAGIC_64 $cputype_expected" ]; then pass "64-bit $cputype code (MH_MAGIC_64)"
  else fail "magic and cpu type $magic $cputype, expected MH_MAGIC_64 $cputype_expected"; fi
  if [ "$filetype" = "BUNDLE" ]; then pass "a bundle"; else fail "file type $filetype, expected BUNDLE"; fi
  if grep -A4 -E 'LC_VERSION_MIN_MACOSX|LC_BUILD_VERSION' <<<"$headers" | grep -Eq "(version|minos) ${minos//./\\.}\$"; then
    pass "runs on macOS $minos and later"
  else fail "minimum macOS is not $minos"; fi

  exports=$("$nm" --extern-only --defined-only --just-symbol-name "$plugin" | sort)
  if [ "$exports" = $'_mexFunction\n_mexfilerequiredapiversion' ]; then
    pass "exports _mexFunction and _mexfilerequiredapiversion alone"
  else fail "exports [$(words "$exports")], expected [_mexFunction _mexfilerequiredapiversion]"; fi

  # "library symbol" for every undefined symbol, bound through the two-level namespace.
  imports=$("$nm" -m --undefined-only "$plugin" | sed -n 's/.*external \([^ ]*\) (from \([^)]*\)).*/\2 \1/p')
  if [ "$(wc -l <<<"$imports")" -ne "$("$nm" --undefined-only "$plugin" | wc -l)" ]; then
    fail "imports symbols bound to no library"
  fi
  for library in libmx libmex libSystem; do
    symbols=$(awk -v library=$library '$1 == library { print $2 }' <<<"$imports")
    listed=$(tbd_exports "$stubs/$library.tbd")
    extra=$(extra_lines "$symbols" "$listed")
    if [ -n "$extra" ]; then fail "imports from $library what $library.tbd does not list: $(words "$extra")"
    elif [ -z "$symbols" ] && [ $library != libSystem ]; then fail "imports nothing from $library"
    else pass "imports from $library only what $library.tbd lists ($(grep -c . <<<"$symbols") symbols)"; fi
  done
  for library in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
    case $library in
      libmx | libmex | libSystem) ;;
      *) fail "imports from $library, neither a host library nor libSystem" ;;
    esac
  done

  # The libraries it loads, "name (compatibility version x.y.z, current version x.y.z)" a line; a
  # dynamic library lists its own name among them too.
  used=$("$objdump" --macho --dylibs-used "$plugin" | tail -n +2)
  dylibs=$(comm -23 <(awk '{ print $1 }' <<<"$used" | sort -u) <("$objdump" --macho --dylib-id "$plugin" | tail -n +2 | sort -u))
  extra=$(extra_lines "$dylibs" $'@rpath/libmx.dylib\n@rpath/libmex.dylib\n/usr/lib/libSystem.B.dylib')
  if [ -n "$extra" ]; then fail "loads $(words "$extra") besides the host libraries and libSystem"
  elif ! grep -qx '@rpath/libmx.dylib' <<<"$dylibs" || ! grep -qx '@rpath/libmex.dylib' <<<"$dylibs"; then
    fail "does not load both @rpath/libmx.dylib and @rpath/libmex.dylib: $(words "$dylibs")"
  else pass "loads $(words "$dylibs") only"; fi

  check_host_library_versions "$used"
  check_api_version _mexfilerequiredapiversion
  if [ "$cputype_expected" = ARM64 ]; then check_code_signature "$headers"; fi
}

# MATLAB's libmx and libmex declare version 0.0.0; dyld before macOS 12 refuses to load a bundle
# that asks for a higher compatibility version of a library than the library declares. `used` is
# the bundle's list of libraries, "name (compatibility version x.y.z, current version x.y.z)" a line.
check_host_library_versions() {
  local used=$1 library version
  for library in @rpath/libmx.dylib @rpath/libmex.dylib; do
    version=$(awk -v library=$library '$1 == library { sub(/,$/, "", $4); print $4 }' <<<"$used")
    if [ "$version" = 0.0.0 ]; then pass "records $library at compatibility version 0.0.0"
    else fail "records $library at compatibility version ${version:-none}, expected 0.0.0"; fi
  done
}

check_linux() {
  local headers exports needed paths imports listed extra
  headers=$("$readobj" --file-headers --needed-libs "$plugin") || { fail "$plugin is not an ELF file"; return; }
  local class type machine
  class=$(sed -n 's/^ *Class: \([^ ]*\).*/\1/p' <<<"$headers")
  type=$(sed -n 's/^ *Type: \([^ ]*\).*/\1/p' <<<"$headers")
  machine=$(sed -n 's/^ *Machine: \([^ ]*\).*/\1/p' <<<"$headers")
  if [ "$class $type $machine" = "64-bit SharedObject EM_X86_64" ]; then pass "a 64-bit x86 shared object"
  else fail "class, type and machine $class $type $machine, expected 64-bit SharedObject EM_X86_64"; fi

  exports=$("$nm" --dynamic --extern-only --defined-only --just-symbol-name "$plugin" | sort)
  if [ "$exports" = $'mexFunction\nmexfilerequiredapiversion' ]; then
    pass "exports mexFunction and mexfilerequiredapiversion alone"
  else fail "exports [$(words "$exports")], expected [mexFunction mexfilerequiredapiversion]"; fi

  # The libraries it needs: exactly the two host libraries, and the C library and POSIX threads for
  # the thread layer; no C++ runtime.
  needed=$(sed -n '/^NeededLibraries \[/,/^\]/p' <<<"$headers" | sed '1d;$d' | tr -d ' ' | sort)
  if [ "$needed" = $'libc.so.6\nlibmex.so\nlibmx.so\nlibpthread.so.0' ]; then
    pass "needs libmx.so, libmex.so, libc.so.6 and libpthread.so.0 only"
  else fail "needs [$(words "$needed")], expected [libc.so.6 libmex.so libmx.so libpthread.so.0]"; fi

  # MATLAB has loaded libmx.so and libmex.so before any plug-in; a library path in the file would
  # only name a folder of the machine that built it.
  paths=$("$readobj" --dynamic-table "$plugin" | sed -n 's/.* Library \(r[a-z]*path: .*\)/\1/p')
  if [ -z "$paths" ]; then pass "names no library path (rpath, runpath)"
  else fail "names a library path, $(words "$paths")"; fi

  # Every import as the stubs name it: a host operation by its name alone (MATLAB's libraries
  # version nothing), a symbol of the system libraries as library:symbol@version.
  imports=$(elf_imports)
  listed=$(ifs_exports "$stubs/libmx.ifs"; ifs_exports "$stubs/libmex.ifs"
           for map in "$stubs"/*.map; do map_symbols "$map" | sed "s/^/$(basename "$map" .map):/"; done)
  extra=$(extra_lines "$imports" "$listed")
  if [ -n "$extra" ]; then fail "imports what libmx.ifs, libmex.ifs and the .map lists do not name: $(words "$extra")"
  else pass "imports only what libmx.ifs, libmex.ifs and the .map lists name ($(words "$(grep : <<<"$imports")") and $(grep -vc : <<<"$imports") host operations)"; fi

  # Each glibc version it needs no newer than 2.17, the oldest glibc MATLAB supports on Linux: the
  # dynamic loader refuses to load a plug-in that needs a version its glibc does not define.
  local file version newer="" versions=""
  while read -r file version; do
    [ -n "$file" ] || continue
    if [[ ! $version =~ ^GLIBC_[0-9]+(\.[0-9]+)*$ ]]; then newer+=" $version of $file (not a glibc version),"
    elif [ "$(printf '%s\n' "${version#GLIBC_}" 2.17 | sort -V | tail -1)" != 2.17 ]; then newer+=" $version of $file,"
    else versions+=" $file:$version"; fi
  done < <(elf_version_needs)
  if [ -n "$newer" ]; then fail "needs${newer%,}, newer than GLIBC_2.17"
  else pass "needs glibc versions no newer than GLIBC_2.17:${versions:- none}"; fi

  check_api_version mexfilerequiredapiversion
}

if [ ! -f "$plugin" ]; then
  echo "FAIL  $plugin does not exist"
  exit 1
fi
if [ "$(basename "$plugin")" = "$expected" ]; then pass "file name $expected"
else fail "file name $(basename "$plugin"), expected $expected"; fi
case $platform in
  windows) check_windows ;;
  macos) check_macos X86_64 10.13 ;;
  macos-arm64) check_macos ARM64 11.0 ;;
  linux) check_linux ;;
  *) echo "unknown platform $platform"; exit 2 ;;
esac
[ $failures -eq 0 ] || { echo "$failures checks failed for $plugin"; exit 1; }
