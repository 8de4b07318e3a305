# The plain-array test host, libmx and libmex over plain vectors, and the sources of the case runner
# that loads plug-ins beside it; used by the Linux tests and by the Windows build run under Wine.
set(TEST_HOST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CASE_RUNNER_SOURCES ${TEST_HOST_DIR}/../runner/cases.cpp ${TEST_HOST_DIR}/../runner/run_case.cpp
    ${TEST_HOST_DIR}/../runner/plugin.cpp)

# Targets <prefix>_mx and <prefix>_mex, built as libmx and libmex in `directory`.
function(add_test_host prefix directory)
  add_library(${prefix}_mex SHARED ${TEST_HOST_DIR}/mex.cpp)
  add_library(${prefix}_mx SHARED ${TEST_HOST_DIR}/mx.cpp)
  foreach(library mx mex)
    target_include_directories(${prefix}_${library} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${prefix}_${library} PRIVATE TESTHOST_BUILDING)
    set_target_properties(${prefix}_${library} PROPERTIES OUTPUT_NAME ${library}
      LIBRARY_OUTPUT_DIRECTORY ${directory} RUNTIME_OUTPUT_DIRECTORY ${directory}
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endforeach()
  # libmex makes arrays of libmx (the answers of the host's functions), as MATLAB's does.
  target_link_libraries(${prefix}_mex PUBLIC ${prefix}_mx)
endfunction()
