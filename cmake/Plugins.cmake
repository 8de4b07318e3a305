# add_plugin(): one module built for every host this machine has. The global property ALL_PLUGINS
# lists the module words added so far; PLUGIN_SOURCES_<word> and PLUGIN_HELP_<word> hold the full
# paths of a module's sources (kernel, gateway, frame) and help stub, for the Octave package.
#
#   add_plugin(<word> KERNEL <sources> GATEWAY <sources> HELP <help stub>)
#
# In a cross build (cmake/toolchains/*.cmake) it makes the platform's deliverable of the module
# named in cmake/Deliverables.cmake, if there is one, and nothing else. Otherwise it makes
#   <word>_kernel     a static library of the kernel, for unit tests and benchmarks (it needs a
#                     mexPrintf from whoever links it);
#   <word>_octave     <build>/octave/<word>.mex with <word>.m beside it, for GNU Octave;
#   <word>_testhost   <build>/testhost/<word>.so, linked against the plain-array test host;
#   <word>_matlab     <word>.<mexext> through matlab_add_mex, when CMake finds MATLAB.

set(FRAME_SOURCES ${PROJECT_SOURCE_DIR}/frame/progress.cpp ${PROJECT_SOURCE_DIR}/frame/gateway.cpp)
include(Deliverables)

# What every plug-in and kernel is compiled with: no C++ runtime, no fused multiply-add, only the
# entry points visible.
add_library(plugin_flags INTERFACE)
target_include_directories(plugin_flags INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(plugin_flags INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-fno-exceptions -fno-rtti -ffp-contract=off
    -fvisibility=hidden -fasynchronous-unwind-tables -Wall -Wextra>)
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
endif()

function(add_plugin word)
  cmake_parse_arguments(PLUGIN "" "HELP" "KERNEL;GATEWAY" ${ARGN})
  set(sources ${PLUGIN_KERNEL} ${PLUGIN_GATEWAY})
  list(TRANSFORM sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  list(APPEND sources ${FRAME_SOURCES})
  get_filename_component(help ${PLUGIN_HELP} ABSOLUTE)
  set_property(GLOBAL APPEND PROPERTY ALL_PLUGINS ${word})
  set_property(GLOBAL PROPERTY PLUGIN_SOURCES_${word} ${sources})
  set_property(GLOBAL PROPERTY PLUGIN_HELP_${word} ${help})

  if(MEX_DELIVERABLES)
    add_deliverable(${word} ${sources})
    return()
  endif()

  add_library(${word}_kernel STATIC ${PLUGIN_KERNEL} ${PROJECT_SOURCE_DIR}/frame/progress.cpp)
  target_link_libraries(${word}_kernel PUBLIC plugin_flags)

  if(OctaveMex_FOUND)
    add_library(${word}_octave MODULE ${sources})
    target_link_libraries(${word}_octave PRIVATE plugin_flags OctaveMex::OctaveMex)
    set_target_properties(${word}_octave PROPERTIES OUTPUT_NAME ${word} PREFIX "" SUFFIX ".mex"
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/octave)
    # Copied at configure time, which CMake repeats whenever the help stub changes. The full
    # target path matters: before the folder exists, a path ending in / would become a file.
    get_filename_component(help_name ${PLUGIN_HELP} NAME)
    configure_file(${PLUGIN_HELP} ${PROJECT_BINARY_DIR}/octave/${help_name} COPYONLY)
  endif()

  if(BUILD_TESTING)
    add_library(${word}_testhost MODULE ${sources})
    target_link_libraries(${word}_testhost PRIVATE plugin_flags testhost_mx testhost_mex)
    set_target_properties(${word}_testhost PROPERTIES OUTPUT_NAME ${word} PREFIX "" SUFFIX ".so"
      LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/testhost)
  endif()

  if(Matlab_FOUND)
    # On Windows a plug-in bears its MATLAB function name where that differs from the word.
    set(name ${word})
    lookup_pair("${WINDOWS_DELIVERABLES}" ${word} windowsName)
    if(WIN32 AND windowsName)
      set(name ${windowsName})
    endif()
    matlab_add_mex(NAME ${word}_matlab MODULE SRC ${sources} OUTPUT_NAME ${name} R2017b)
    target_link_libraries(${word}_matlab plugin_flags)
    target_compile_definitions(${word}_matlab PRIVATE HOST_MATLAB)
  endif()
endfunction()
