# Finds what building a plug-in for GNU Octave needs, by asking mkoctfile.
#   OctaveMex_FOUND, target OctaveMex::OctaveMex (include directories and libraries), OCTAVE_CLI
find_program(MKOCTFILE_EXECUTABLE mkoctfile)
find_program(OCTAVE_CLI octave-cli)

function(_octave_config variable result)
  execute_process(COMMAND ${MKOCTFILE_EXECUTABLE} -p ${variable} OUTPUT_VARIABLE value
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set(${result} "${value}" PARENT_SCOPE)
endfunction()

if(MKOCTFILE_EXECUTABLE)
  _octave_config(INCFLAGS _octave_incflags)
  _octave_config(OCTLIBDIR _octave_libdir)
  _octave_config(OCTAVE_LIBS _octave_libs)
  string(REGEX MATCHALL "-I[^ ]+" _octave_includes "${_octave_incflags}")
  list(TRANSFORM _octave_includes REPLACE "^-I" "")
  separate_arguments(_octave_libs UNIX_COMMAND "${_octave_libs}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OctaveMex REQUIRED_VARS MKOCTFILE_EXECUTABLE OCTAVE_CLI _octave_libdir)

if(OctaveMex_FOUND AND NOT TARGET OctaveMex::OctaveMex)
  add_library(OctaveMex::OctaveMex INTERFACE IMPORTED)
  target_include_directories(OctaveMex::OctaveMex INTERFACE ${_octave_includes})
  target_link_directories(OctaveMex::OctaveMex INTERFACE ${_octave_libdir})
  target_link_libraries(OctaveMex::OctaveMex INTERFACE ${_octave_libs})
  # Linked as mkoctfile links a plug-in: calls inside it bind to its own functions, never to a
  # function of the same name that Octave or a plug-in loaded earlier exports.
  target_link_options(OctaveMex::OctaveMex INTERFACE -Wl,-Bsymbolic)
  target_compile_definitions(OctaveMex::OctaveMex INTERFACE HOST_OCTAVE)
endif()
