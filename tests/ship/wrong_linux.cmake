# Wrong builds of the Linux corvane.mexa64, included by CMakeLists.txt once extra_export and
# stray_runtime exist.

# Visibility is the only export list: a second MEX_ENTRY function is exported too.
target_sources(wrong_extra_export PRIVATE ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)
expect_refused(extra_export $<TARGET_FILE:wrong_extra_export> ${CORVANE_FILE}
  "exports \\[mexExtraEntry mexFunction mexfilerequiredapiversion\\]")

# Allocates with new, and takes it from a libstdc++.so.6.
set(stray ${CMAKE_CURRENT_BINARY_DIR}/stray/libstdc++.so)
add_elf_stub(${stray} ${CMAKE_CURRENT_SOURCE_DIR}/stray/libstdc++.ifs ${CMAKE_CXX_COMPILER_TARGET})
add_custom_target(stray_runtime_stub DEPENDS ${stray})
target_sources(wrong_stray_runtime PRIVATE ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)
target_link_libraries(wrong_stray_runtime PRIVATE ${stray})
add_dependencies(wrong_stray_runtime stray_runtime_stub)
expect_refused(stray_runtime $<TARGET_FILE:wrong_stray_runtime> ${CORVANE_FILE}
  "needs \\[libc.so.6 libmex.so libmx.so libpthread.so.0 libstdc\\+\\+.so.6\\], expected \\[libc.so.6 libmex.so libmx.so libpthread.so.0\\]")

# Threads taken from a C library of glibc 2.34 or later, as a link against this machine's would
# take them: pthread_create and pthread_join at GLIBC_2.34, which no glibc before 2.34 loads.
add_library(glibc_2_34_host_libraries INTERFACE)
add_elf_host_libraries(glibc_2_34_host_libraries ${CMAKE_CXX_COMPILER_TARGET}
  SYSTEM ${CMAKE_CURRENT_SOURCE_DIR}/stray/libc.so.6.map)
add_wrong_build(glibc_2_34 ${PROJECT_SOURCE_DIR}/frame/api_version.cpp HOST glibc_2_34_host_libraries)
expect_refused(glibc_2_34 $<TARGET_FILE:wrong_glibc_2_34> ${CORVANE_FILE}
  "needs GLIBC_2.34 of libc.so.6, newer than GLIBC_2.17")

# Code for 64-bit Arm Linux, linked against stubs made for it.
add_library(arm64_host_libraries INTERFACE)
add_elf_host_libraries(arm64_host_libraries aarch64-linux-gnu)
add_wrong_build(architecture ${PROJECT_SOURCE_DIR}/frame/api_version.cpp HOST arm64_host_libraries)
target_compile_options(wrong_architecture PRIVATE --target=aarch64-linux-gnu)
target_link_options(wrong_architecture PRIVATE --target=aarch64-linux-gnu)
expect_refused(architecture $<TARGET_FILE:wrong_architecture> ${CORVANE_FILE}
  "class, type and machine 64-bit SharedObject EM_AARCH64, expected 64-bit SharedObject EM_X86_64")

# A library path of the building machine written into the file.
add_wrong_build(runpath ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)
target_link_options(wrong_runpath PRIVATE -Wl,-rpath,/usr/local/MATLAB/bin/glnxa64)
expect_refused(runpath $<TARGET_FILE:wrong_runpath> ${CORVANE_FILE}
  "names a library path, runpath: \\[/usr/local/MATLAB/bin/glnxa64\\]")
