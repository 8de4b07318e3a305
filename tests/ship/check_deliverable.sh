#!/usr/bin/env bash
# Checks a shipped plug-in as far as a Linux machine can: its file name, its architecture and file
# type, that it exports exactly its entry points, that it imports only the host operations our
# stubs list and the platform's system libraries, and on macOS that it asks for no newer libmx and
# libmex than MATLAB's.
#
#   check_deliverable.sh windows <plug-in> <expected file name> <folder with libmx.def, libmex.def>
#   check_deliverable.sh macos   <plug-in> <expected file name> <folder with libmx.tbd, libmex.tbd,
#                                                                libSystem.tbd>
#
# Prints one line per check, "ok ..." or "FAIL ...", and exits 1 when any check fails.
# Tools: llvm-readobj, llvm-nm and llvm-objdump (override with LLVM_READOBJ, LLVM_NM, LLVM_OBJDUMP).
set -uo pipefail

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
  for dll in libmx.dll libmex.dll; do
    symbols=$(awk -v dll=$dll '$1 == dll { print $2 }' <<<"$imports")
    listed=$(def_exports "$stubs/${dll%.dll}.def")
    extra=$(extra_lines "$symbols" "$listed")
    if [ -z "$symbols" ]; then fail "imports nothing from $dll"
    elif [ -n "$extra" ]; then fail "imports from $dll what ${dll%.dll}.def does not list: $(words "$extra")"
    else pass "imports from $dll only what ${dll%.dll}.def lists ($(wc -l <<<"$symbols") operations)"; fi
  done
  for dll in $(awk '{ print $1 }' <<<"$imports" | sort -u); do
    case $dll in
      libmx.dll | libmex.dll) ;;
      kernel32.dll | msvcrt.dll) pass "imports the Windows system library $dll" ;;
      *) fail "imports $dll, neither a host library nor a Windows system library" ;;
    esac
  done
}

check_macos() {
  local headers exports imports library symbols listed extra dylibs code
  headers=$("$objdump" --macho --private-headers "$plugin") || { fail "$plugin is not a Mach-O file"; return; }
  # The line after the header's column names: magic cputype cpusubtype caps filetype ...
  read -r magic cputype _ _ filetype _ < <(grep -A1 '^ *magic cputype' <<<"$headers" | tail -1)
  if [ "$magic $cputype" = "MH_MAGIC_64 X86_64" ]; then pass "64-bit x86 code (MH_MAGIC_64, X86_64)"
  else fail "magic and cpu type $magic $cputype, expected MH_MAGIC_64 X86_64"; fi
  if [ "$filetype" = "BUNDLE" ]; then pass "a bundle"; else fail "file type $filetype, expected BUNDLE"; fi
  if grep -A3 -E 'LC_VERSION_MIN_MACOSX|LC_BUILD_VERSION' <<<"$headers" | grep -Eq '(version|minos) 10\.13$'; then
    pass "runs on macOS 10.13 and later"
  else fail "minimum macOS is not 10.13"; fi

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

  # MATLAB's libmx and libmex declare version 0.0.0; dyld before macOS 12 refuses to load a bundle
  # that asks for a higher compatibility version of a library than the library declares.
  for library in @rpath/libmx.dylib @rpath/libmex.dylib; do
    version=$(awk -v library=$library '$1 == library { sub(/,$/, "", $4); print $4 }' <<<"$used")
    if [ "$version" = 0.0.0 ]; then pass "records $library at compatibility version 0.0.0"
    else fail "records $library at compatibility version ${version:-none}, expected 0.0.0"; fi
  done

  # The release entry point stores 0x2017B through its first pointer and 0 through its second.
  code=$("$objdump" -d --print-imm-hex --no-show-raw-insn --disassemble-symbols=_mexfilerequiredapiversion "$plugin")
  if grep -q 'movl.*\$0x2017b, (%rdi)' <<<"$code" && grep -q 'movl.*\$0x0, (%rsi)' <<<"$code"; then
    pass "_mexfilerequiredapiversion writes 0x2017B and 0"
  else fail "_mexfilerequiredapiversion does not write 0x2017B and 0"; fi
}

if [ ! -f "$plugin" ]; then
  echo "FAIL  $plugin does not exist"
  exit 1
fi
if [ "$(basename "$plugin")" = "$expected" ]; then pass "file name $expected"
else fail "file name $(basename "$plugin"), expected $expected"; fi
case $platform in
  windows) check_windows ;;
  macos) check_macos ;;
  *) echo "unknown platform $platform"; exit 2 ;;
esac
[ $failures -eq 0 ] || { echo "$failures checks failed for $plugin"; exit 1; }
