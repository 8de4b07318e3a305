# Cross build of the Intel macOS plug-ins with clang and ld64.lld, without an SDK: the plug-ins
# include only the compiler's own headers and link against the text stubs in ship/macos.
set(CMAKE_SYSTEM_NAME Darwin)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_SYSTEM_VERSION 17.0)

set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-apple-macos10.13)
set(CMAKE_OSX_ARCHITECTURES x86_64)
set(CMAKE_OSX_DEPLOYMENT_TARGET 10.13)
set(CMAKE_OSX_SYSROOT "")
set(CMAKE_CXX_FLAGS_INIT "-ffreestanding -nostdlibinc")

# clang hands a Mach-O link to ld64.lld; telling it the linker is a recent ld64 makes it pass
# -platform_version, the only form ld64.lld takes. No C or C++ runtime: the stubs list all we use.
find_program(LD64_LLD NAMES ld64.lld ld64.lld-16 ld64.lld-15 ld64.lld-14 PATHS /usr/lib/llvm-14/bin REQUIRED)
set(CMAKE_MODULE_LINKER_FLAGS_INIT
    "--ld-path=${LD64_LLD} -mlinker-version=609 -nostdlib -Wno-unused-command-line-argument")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_MODULE_LINKER_FLAGS_INIT}")
# Nothing can be linked into a program without an SDK, so the compiler checks stop at a library.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_plugin() builds each module's macOS deliverable.
set(MEX_EXTENSION mexmaci64)
set(MEX_DELIVERABLES macos)
