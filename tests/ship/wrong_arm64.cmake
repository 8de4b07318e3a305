# Wrong builds of the Apple silicon corvane.mexmaca64 that only arm64 has reason to refuse,
# included by CMakeLists.txt beside the wrong builds of both macOS platforms.
set(api_version ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)

# Linked against stubs that give no version, which the linker records as compatibility 1.0.0.
set(unversioned ${CMAKE_CURRENT_BINARY_DIR}/unversioned)
foreach(library libmx libmex)
  file(READ ${MEX_HOST_STUBS}/${library}.tbd stub)
  string(REGEX REPLACE "\n(#|current-version:|compatibility-version:)[^\n]*" "" stub "${stub}")
  file(CONFIGURE OUTPUT ${unversioned}/${library}.tbd CONTENT "${stub}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MEX_HOST_STUBS}/${library}.tbd)
endforeach()
add_wrong_build(unversioned ${api_version})
target_link_options(wrong_unversioned BEFORE PRIVATE -L${unversioned})
set_property(TARGET wrong_unversioned PROPERTY LINK_DEPENDS ${unversioned}/libmx.tbd ${unversioned}/libmex.tbd)
expect_refused(unversioned $<TARGET_FILE:wrong_unversioned> ${CORVANE_FILE}
  "records @rpath/libmx.dylib at compatibility version 1.0.0, expected 0.0.0")

# Intel code, linked against the Intel stubs.
add_wrong_build(architecture ${api_version})
set_target_properties(wrong_architecture PROPERTIES OSX_ARCHITECTURES x86_64)
target_link_options(wrong_architecture BEFORE PRIVATE -L${PROJECT_SOURCE_DIR}/ship/macos)
expect_refused(architecture $<TARGET_FILE:wrong_architecture> ${CORVANE_FILE}
  "magic and cpu type MH_MAGIC_64 X86_64, expected MH_MAGIC_64 ARM64")

# Built for macOS 12, which leaves out the Macs still on macOS 11.
add_wrong_build(minimum_macos ${api_version})
target_compile_options(wrong_minimum_macos PRIVATE --target=arm64-apple-macos12 -Wno-overriding-t-option)
target_link_options(wrong_minimum_macos PRIVATE --target=arm64-apple-macos12 -Wno-overriding-t-option)
expect_refused(minimum_macos $<TARGET_FILE:wrong_minimum_macos> ${CORVANE_FILE} "minimum macOS is not 11.0")

# Linked without the ad-hoc signature.
add_wrong_build(unsigned ${api_version})
target_link_options(wrong_unsigned PRIVATE -Wl,-no_adhoc_codesign)
expect_refused(unsigned $<TARGET_FILE:wrong_unsigned> ${CORVANE_FILE} "no code signature \\(LC_CODE_SIGNATURE\\)")

# The deliverable changed after it was signed: the last byte of its first 16 KiB flipped.
set(tampered ${CMAKE_CURRENT_BINARY_DIR}/wrong/tampered/${CORVANE_FILE})
add_custom_command(OUTPUT ${tampered}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:corvane_deliverable> ${tampered}
  COMMAND sh -c "printf '\\377' | dd of='${tampered}' bs=1 seek=16383 conv=notrunc 2>/dev/null"
  DEPENDS corvane_deliverable
  COMMENT "Changing a byte of a signed corvane"
  VERBATIM)
add_custom_target(wrong_tampered ALL DEPENDS ${tampered})
expect_refused(tampered ${tampered} ${CORVANE_FILE} "code signature does not match the file in 1 of")
