# The plug-ins we ship to MATLAB users, and how a cross build makes them. Which module has which
# plug-in is the column of the platform's MEX extension in modules.txt.
#
# A cross build names its platform in MEX_DELIVERABLES (windows, macos, linux or macos-arm64) and
# its extension in MEX_EXTENSION (mexw64, mexmaci64, mexa64 or mexmaca64), both set by
# cmake/toolchains/*.cmake. Then add_plugin() builds that platform's deliverable of a module and
# nothing else.
set(DELIVERABLES_DIR ${PROJECT_BINARY_DIR}/deliverables)
# The stubs of the host libraries are in ship/<platform>; the macOS stubs list both architectures.
set(MEX_HOST_STUBS ${PROJECT_SOURCE_DIR}/ship/${MEX_DELIVERABLES})
if(MEX_DELIVERABLES MATCHES "^macos")
  set(MEX_HOST_STUBS ${PROJECT_SOURCE_DIR}/ship/macos)
endif()

# The file name of a module's deliverable for the MEX extension `extension`, or "" when it has none.
function(deliverable_file extension word result)
  set(file "")
  if(MODULE_${word}_${extension})
    set(file ${MODULE_${word}_${extension}}.${extension})
  endif()
  set(${result} "${file}" PARENT_SCOPE)
endfunction()

# Every module word that has a deliverable for the MEX extension `extension`, in the table's order.
function(deliverable_words extension result)
  set(words "")
  foreach(word IN LISTS MODULE_WORDS)
    if(MODULE_${word}_${extension})
      list(APPEND words ${word})
    endif()
  endforeach()
  set(${result} "${words}" PARENT_SCOPE)
endfunction()

# The stub shared library `output` that llvm-ifs makes from the text stub `stub` (a list of the
# library's name and symbols) for the target `triple`: what a Linux build links against in place of
# a library it must not take from this machine.
function(add_elf_stub output stub triple)
  find_program(LLVM_IFS NAMES llvm-ifs llvm-ifs-16 llvm-ifs-15 llvm-ifs-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
  get_filename_component(folder ${output} DIRECTORY)
  get_filename_component(name ${output} NAME)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${LLVM_IFS} --input-format=IFS --target=${triple} --output-elf=${output} ${stub}
    DEPENDS ${stub}
    COMMENT "Stub ${name} for ${triple}")
endfunction()

# The stub shared library `output` made from the version script `map` for the target `triple`:
# its file name is its soname, and it defines every symbol the script lists, at the script's
# version. What a Linux build links against for a system library whose symbols must be bound to
# versions old enough for every glibc MATLAB supports (llvm-ifs writes no symbol versions).
function(add_elf_versioned_stub output map triple)
  get_filename_component(folder ${output} DIRECTORY)
  get_filename_component(soname ${output} NAME)
  # The symbols: every name ended by a semicolon that is not a version (a name before a brace).
  file(READ ${map} script)
  # (Semicolons become commas first, as a semicolon would split a CMake list.)
  string(REGEX REPLACE "#[^\n]*" "" script "${script}")
  string(REPLACE ";" "," script "${script}")
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_.]*[ \t\n]*[{,]" tokens "${script}")
  set(versions "")
  set(symbols "")
  foreach(token IN LISTS tokens)
    string(REGEX REPLACE "[ \t\n]*[{,]$" "" name "${token}")
    if(token MATCHES "{$")
      list(APPEND versions ${name})
    else()
      list(APPEND symbols ${name})
    endif()
  endforeach()
  list(REMOVE_ITEM symbols ${versions})
  # Each symbol a function that does nothing: only its name and version matter to the link.
  set(source "/* Made from ${map}. */\n")
  foreach(symbol IN LISTS symbols)
    string(APPEND source "void ${symbol}(void) {}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${folder}/${soname}.c CONTENT "${source}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${map})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_CXX_COMPILER} --target=${triple} -x c -ffreestanding -fPIC -shared -nostdlib
            -fuse-ld=lld -Wl,--version-script=${map} -Wl,-soname,${soname} -o ${output} ${folder}/${soname}.c
    DEPENDS ${map} ${folder}/${soname}.c
    COMMENT "Stub ${soname} for ${triple}")
endfunction()

# The version scripts of the system libraries a Linux plug-in needs: ship/linux/<soname>.map.
set(ELF_SYSTEM_STUBS ${PROJECT_SOURCE_DIR}/ship/linux/libc.so.6.map ${PROJECT_SOURCE_DIR}/ship/linux/libpthread.so.0.map)

# The import libraries (Windows), text stubs (macOS) or stub shared libraries (Linux) that stand
# for MATLAB's libmx and libmex and for the system libraries, as the target mex_host_libraries: a
# plug-in links it and may use exactly what they list. On Linux it also makes the plug-in
# freestanding: only the compiler's own headers, and no C or C++ library linked but the stubs of
# libc.so.6 and libpthread.so.0, which name the thread layer's few functions at old versions; a
# call the compiler emits on its own (memcpy, say) then fails the link instead of binding to
# whatever library MATLAB has loaded.
function(add_mex_host_libraries)
  add_library(mex_host_libraries INTERFACE)
  if(MEX_DELIVERABLES STREQUAL "windows")
    set(folder ${PROJECT_BINARY_DIR}/mexapi)
    foreach(library mx mex)
      add_custom_command(OUTPUT ${folder}/lib${library}.dll.a
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CMAKE_DLLTOOL} -d ${MEX_HOST_STUBS}/lib${library}.def -D lib${library}.dll
                -l ${folder}/lib${library}.dll.a
        DEPENDS ${MEX_HOST_STUBS}/lib${library}.def
        COMMENT "Import library for lib${library}.dll")
      target_link_libraries(mex_host_libraries INTERFACE ${folder}/lib${library}.dll.a)
    endforeach()
    add_custom_target(mex_import_libraries DEPENDS ${folder}/libmx.dll.a ${folder}/libmex.dll.a)
  elseif(MEX_DELIVERABLES MATCHES "^macos")
    target_link_options(mex_host_libraries INTERFACE -L${MEX_HOST_STUBS})
    target_link_libraries(mex_host_libraries INTERFACE -lSystem -lmx -lmex)
    # Linked by name, so a changed stub would not relink the bundles without this.
    set_property(TARGET mex_host_libraries PROPERTY INTERFACE_LINK_DEPENDS
      ${MEX_HOST_STUBS}/libSystem.tbd ${MEX_HOST_STUBS}/libmx.tbd ${MEX_HOST_STUBS}/libmex.tbd)
  elseif(MEX_DELIVERABLES STREQUAL "linux")
    add_elf_host_libraries(mex_host_libraries ${CMAKE_CXX_COMPILER_TARGET})
  endif()
endfunction()

# Gives the interface target `target` what mex_host_libraries holds on Linux, for the target
# `triple`: stubs of libmx.so and libmex.so made from ship/linux, stubs of the system libraries
# from the version scripts after SYSTEM (ELF_SYSTEM_STUBS unless given), and the freestanding
# options.
function(add_elf_host_libraries target triple)
  cmake_parse_arguments(PARSE_ARGV 2 host "" "" "SYSTEM")
  if(NOT host_SYSTEM)
    set(host_SYSTEM ${ELF_SYSTEM_STUBS})
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target})
  set(stubs "")
  foreach(library mx mex)
    add_elf_stub(${folder}/lib${library}.so ${PROJECT_SOURCE_DIR}/ship/linux/lib${library}.ifs ${triple})
    list(APPEND stubs ${folder}/lib${library}.so)
  endforeach()
  foreach(map IN LISTS host_SYSTEM)
    get_filename_component(soname ${map} NAME)
    string(REGEX REPLACE "[.]map$" "" soname ${soname})
    add_elf_versioned_stub(${folder}/${soname} ${map} ${triple})
    list(APPEND stubs ${folder}/${soname})
  endforeach()
  # Each stub an imported library, linked by its path. A plain path to a shared library that does
  # not exist yet CMake links as -L<folder> -l<name>, and clang searches this machine's library
  # folders after ours even with -nostdlib: -lc and -lpthread would find glibc 2.36 itself.
  foreach(stub IN LISTS stubs)
    get_filename_component(soname ${stub} NAME)
    add_library(${target}.${soname} SHARED IMPORTED GLOBAL)
    set_target_properties(${target}.${soname} PROPERTIES IMPORTED_LOCATION ${stub} IMPORTED_SONAME ${soname})
    target_link_libraries(${target} INTERFACE ${target}.${soname})
  endforeach()
  add_custom_target(${target}_stubs DEPENDS ${stubs})
  add_dependencies(${target} ${target}_stubs)
  target_compile_options(${target} INTERFACE -ffreestanding -nostdlibinc)
  # lld links for any target, as ld64.lld does for macOS.
  target_link_options(${target} INTERFACE -nostdlib -fuse-ld=lld)
endfunction()

# Builds `target` from `sources` as the deliverable file `file` of the cross build's platform:
# a DLL exporting mexFunction alone with the C and C++ runtimes linked in (Windows), a bundle
# (macOS) or a shared object (Linux) exporting mexFunction and mexfilerequiredapiversion.
function(add_deliverable_target target file)
  get_filename_component(name ${file} NAME_WE)
  get_filename_component(suffix ${file} LAST_EXT)
  add_library(${target} MODULE ${ARGN})
  target_link_libraries(${target} PRIVATE plugin_flags mex_host_libraries)
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} PREFIX "" SUFFIX ${suffix}
    LIBRARY_OUTPUT_DIRECTORY ${DELIVERABLES_DIR})
  if(MEX_DELIVERABLES STREQUAL "windows")
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -s -Wl,--no-insert-timestamp)
    add_dependencies(${target} mex_import_libraries)
  elseif(MEX_DELIVERABLES MATCHES "^macos")
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)
    target_link_options(${target} PRIVATE -Wl,-exported_symbol,_mexFunction
      -Wl,-exported_symbol,_mexfilerequiredapiversion)
  elseif(MEX_DELIVERABLES STREQUAL "linux")
    # The entry points are the only symbols of default visibility (MEX_ENTRY). No library path of
    # this machine is written into the file: the one tested is the one shipped.
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)
    set_target_properties(${target} PROPERTIES SKIP_BUILD_RPATH TRUE)
  endif()
endfunction()

# The deliverable of module `word` on the cross build's platform, when the table names one.
function(add_deliverable word)
  deliverable_file(${MEX_EXTENSION} ${word} file)
  if(NOT file)
    return()
  endif()
  add_deliverable_target(${word}_deliverable ${file} ${ARGN})
  install(TARGETS ${word}_deliverable LIBRARY DESTINATION ${MEX_DELIVERABLES})
endfunction()
