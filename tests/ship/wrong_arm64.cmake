# Wrong builds of the Apple silicon corvane.mexmaca64 that only arm64 has reason to refuse,
# included by CMakeLists.txt beside the wrong builds of both macOS platforms.
set(api_version ${PROJECT_SOURCE_DIR}/frame/api_version.cpp)

# Intel code.
add_wrong_build(architecture ${api_version})
set_target_properties(wrong_architecture PROPERTIES OSX_ARCHITECTURES x86_64)
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
