# The test host, libmx and libmex over plain blocks, and the sources of the case runner that loads
# plug-ins beside it; used by the Linux tests, by the Windows build run under Wine and, linked in
# statically in strict mode, by the fuzz targets.
set(TEST_HOST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CASE_RUNNER_SOURCES ${TEST_HOST_DIR}/../runner/cases.cpp ${TEST_HOST_DIR}/../runner/run_case.cpp
    ${TEST_HOST_DIR}/../runner/plugin.cpp)
# libmx holds every piece of the host's state; libmex (printing, errors, the host's functions)
# depends on it, as a plug-in's two host libraries may.
set(TEST_HOST_MX_SOURCES ${TEST_HOST_DIR}/arrays.cpp ${TEST_HOST_DIR}/state.cpp ${TEST_HOST_DIR}/mx.cpp)
set(TEST_HOST_MEX_SOURCES ${TEST_HOST_DIR}/mex.cpp)

# Targets <prefix>_mx and <prefix>_mex, built as libmx and libmex in `directory`.
function(add_test_host prefix directory)
  add_library(${prefix}_mx SHARED ${TEST_HOST_MX_SOURCES})
  add_library(${prefix}_mex SHARED ${TEST_HOST_MEX_SOURCES})
  foreach(library mx mex)
    target_include_directories(${prefix}_${library} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${prefix}_${library} PRIVATE TESTHOST_BUILDING)
    set_target_properties(${prefix}_${library} PROPERTIES OUTPUT_NAME ${library}
      LIBRARY_OUTPUT_DIRECTORY ${directory} RUNTIME_OUTPUT_DIRECTORY ${directory}
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
  target_link_libraries(${prefix}_mex PUBLIC ${prefix}_mx)
endfunction()

# Target `name`: the same host as one static library, strict from the start (tests/host/strict_host.h).
function(add_strict_host name)
  add_library(${name} STATIC ${TEST_HOST_MX_SOURCES} ${TEST_HOST_MEX_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PUBLIC TESTHOST_STATIC PRIVATE TESTHOST_STRICT)
endfunction()
