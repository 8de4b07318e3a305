# Build of the Apple silicon plug-ins: the Intel macOS build (macos-x86_64.cmake, clang and
# ld64.lld against text stubs, no SDK) for arm64 and macOS 11, the first release on those Macs.
# ld64.lld signs arm64 output ad hoc, as macOS requires there before it runs any code.
include(${CMAKE_CURRENT_LIST_DIR}/macos-x86_64.cmake)
set(CMAKE_SYSTEM_PROCESSOR arm64)
set(CMAKE_SYSTEM_VERSION 20.0)
set(CMAKE_CXX_COMPILER_TARGET arm64-apple-macos11)
set(CMAKE_OSX_ARCHITECTURES arm64)
set(CMAKE_OSX_DEPLOYMENT_TARGET 11.0)

# add_plugin() builds each module's Apple silicon deliverable, against the stubs in ship/macos.
set(MEX_EXTENSION mexmaca64)
set(MEX_DELIVERABLES macos-arm64)
