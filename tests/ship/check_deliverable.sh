#!/usr/bin/env bash
# Checks a shipped plug-in as far as a Linux machine can: its file name, its architecture and file
# type, that it exports exactly its entry points, that it imports only the host operations our
# stubs list and the platform's system libraries, on macOS that it asks for no newer libmx and
# libmex than MATLAB's, and on Apple silicon that its code signature holds.
#
#   check_deliverable.sh windows     <plug-in> <expected file name> <folder with libmx.def, libmex.def,
#                                                                    kernel32.def, msvcrt.def>
#   check_deliverable.sh macos       <plug-in> <expected file name> <folder with libmx.tbd, libmex.tbd,
#                                                                    libSystem.tbd>
#   check_deliverable.sh macos-arm64 <plug-in> <expected file name> <the same>
#   check_deliverable.sh linux       <plug-in> <expected file name> <folder with libmx.ifs, libmex.ifs>
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

  # The libraries it needs: exactly the two host libraries, no C or C++ runtime.
  needed=$(sed -n '/^NeededLibraries \[/,/^\]/p' <<<"$headers" | sed '1d;$d' | tr -d ' ' | sort)
  if [ "$needed" = $'libmex.so\nlibmx.so' ]; then pass "needs libmx.so and libmex.so only"
  else fail "needs [$(words "$needed")], expected [libmex.so libmx.so]"; fi

  # MATLAB has loaded libmx.so and libmex.so before any plug-in; a library path in the file would
  # only name a folder of the machine that built it.
  paths=$("$readobj" --dynamic-table "$plugin" | sed -n 's/.* Library \(r[a-z]*path: .*\)/\1/p')
  if [ -z "$paths" ]; then pass "names no library path (rpath, runpath)"
  else fail "names a library path, $(words "$paths")"; fi

  imports=$("$nm" --dynamic --undefined-only --just-symbol-name "$plugin")
  listed=$(ifs_exports "$stubs/libmx.ifs"; ifs_exports "$stubs/libmex.ifs")
  extra=$(extra_lines "$imports" "$listed")
  if [ -n "$extra" ]; then fail "imports what neither libmx.ifs nor libmex.ifs lists: $(words "$extra")"
  else pass "imports only what libmx.ifs and libmex.ifs list ($(grep -c . <<<"$imports") operations)"; fi

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
