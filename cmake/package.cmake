# The download for Windows users (scripts/package.sh): the 32-bit program as
# ravlin.exe, the 64-bit one as ravlin-x64.exe, a README.txt for them and the
# licence, in dist/ravlin-<version>-windows.zip.
#
# Each build installs its own program; the 32-bit build also installs the
# texts and makes the package, with the 64-bit build added by package.sh.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  install(PROGRAMS $<TARGET_FILE:ravlin> DESTINATION . RENAME ravlin-x64.exe)
  return()
endif()
install(TARGETS ravlin RUNTIME DESTINATION .)

# Texts with Windows line ends, so that every Notepad shows them as written.
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/README.txt ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ravlin)
set(CPACK_PACKAGE_VENDOR "The Ravlin developers")
set(CPACK_PACKAGE_FILE_NAME ravlin-${PROJECT_VERSION}-windows)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
