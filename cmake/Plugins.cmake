# Every module of modules.txt built for every host this machine has (cmake/ModuleTable.cmake reads
# the table). In a cross build (cmake/toolchains/*.cmake) each module becomes its deliverable for
# that platform, if it has one, and nothing else. Otherwise each module <word> becomes
#   <word>_octave     <build>/octave/<word>.mex with <word>.m beside it, for GNU Octave;
#   <word>_testhost   <build>/testhost/<word>.so, linked against the plain-array test host;
#   <word>_matlab     <word>.<mexext> through matlab_add_mex, when CMake finds MATLAB;
# and the kernels of all modules with the frame make one static library, `kernels`, for the tests
# and benchmarks (it needs the host operations from whoever links it).
include(ModuleTable)
include(Deliverables)

# How every plug-in and kernel is compiled. Tests and benchmarks are ordinary C++ and do not get these.
add_library(plugin_flags INTERFACE)
target_include_directories(plugin_flags INTERFACE ${PROJECT_SOURCE_DIR})
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(plugin_flags INTERFACE
    # No C++ runtime in a plug-in: the Windows and macOS builds have none to link.
    -fno-exceptions -fno-rtti
    # No fused multiply-add, so every host and compiler gives bit-identical results.
    -ffp-contract=off
    # A square root is the processor's instruction alone: no call to the C library to set errno,
    # which the plug-ins of macOS and Linux may not make (their stubs list no math function).
    -fno-math-errno
    # Only the entry points, marked MEX_ENTRY, are exported.
    -fvisibility=hidden
    # A host error leaves a plug-in by unwinding through its frames (Octave and our test host raise
    # a C++ exception); without exceptions the compiler would leave those frames without unwind
    # tables, and the unwinding would end the process.
    -fasynchronous-unwind-tables
    -Wall -Wextra)
endif()
# A plug-in records only the libraries it uses, and links only when each symbol it needs is found.
target_link_options(plugin_flags INTERFACE $<$<PLATFORM_ID:Linux>:-Wl,--as-needed -Wl,--no-undefined>)

if(MEX_DELIVERABLES)
  add_mex_host_libraries()
else()
  if(WITH_OCTAVE)
    find_package(OctaveMex)
  endif()
  if(WITH_MATLAB)
    find_package(Matlab QUIET COMPONENTS MX_LIBRARY)
  endif()
  set(kernel_sources ${FRAME_SOURCES})
  foreach(word IN LISTS MODULE_WORDS)
    list(APPEND kernel_sources ${MODULE_${word}_KERNEL})
  endforeach()
  list(REMOVE_DUPLICATES kernel_sources)
  add_library(kernels STATIC ${kernel_sources})
  # Compiled as the plug-ins are; nothing of the plug-ins' flags reaches what links it.
  target_compile_options(kernels PRIVATE $<TARGET_PROPERTY:plugin_flags,INTERFACE_COMPILE_OPTIONS>)
  target_include_directories(kernels PUBLIC ${PROJECT_SOURCE_DIR})
endif()

# Builds module `word` for every host of this build.
function(add_plugin word)
  set(sources ${MODULE_${word}_SOURCES})
  if(MEX_DELIVERABLES)
    add_deliverable(${word} ${sources})
    return()
  endif()

  if(OctaveMex_FOUND)
    add_library(${word}_octave MODULE ${sources})
    target_link_libraries(${word}_octave PRIVATE plugin_flags OctaveMex::OctaveMex)
    set_target_properties(${word}_octave PROPERTIES OUTPUT_NAME ${word} PREFIX "" SUFFIX ".mex"
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/octave)
    # Copied at configure time, which CMake repeats whenever the help stub changes.
    configure_file(${MODULE_${word}_HELP} ${PROJECT_BINARY_DIR}/octave/${word}.m COPYONLY)
  endif()

  if(BUILD_TESTING)
    add_library(${word}_testhost MODULE ${sources})
    target_link_libraries(${word}_testhost PRIVATE plugin_flags testhost_mx testhost_mex)
    set_target_properties(${word}_testhost PROPERTIES OUTPUT_NAME ${word} PREFIX "" SUFFIX ".so"
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/testhost)
  endif()

  if(Matlab_FOUND)
    # On Windows a plug-in bears its Windows function name where the table gives one.
    set(name ${word})
    if(WIN32 AND MODULE_${word}_mexw64)
      set(name ${MODULE_${word}_mexw64})
    endif()
    matlab_add_mex(NAME ${word}_matlab MODULE SRC ${sources} OUTPUT_NAME ${name} R2017b)
    target_link_libraries(${word}_matlab plugin_flags)
    target_compile_definitions(${word}_matlab PRIVATE HOST_MATLAB)
  endif()
endfunction()
