# The release archive Windows users get: volume-tarrow-1.0-win32.zip (win64
# for the 64-bit twin) holding the program and README.txt, a plain-text guide
# made from README.md's "Using it on Windows" section with CR LF line ends,
# which every Windows editor shows as lines. Made by
#   cmake --build --preset win32 --target package

set(guide_heading "## Using it on Windows")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/README.md)
file(READ ${CMAKE_SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "${guide_heading}\n" guide_start)
if(guide_start EQUAL -1)
  message(FATAL_ERROR "README.md has no section \"${guide_heading}\" for the Windows guide")
endif()
string(LENGTH "${guide_heading}\n" heading_length)
math(EXPR guide_start "${guide_start} + ${heading_length}")
string(SUBSTRING "${readme}" ${guide_start} -1 guide)
string(FIND "${guide}" "\n## " guide_end)
if(NOT guide_end EQUAL -1)
  string(SUBSTRING "${guide}" 0 ${guide_end} guide)
endif()
# Plain text: no Markdown code marks.
string(REPLACE "`" "" guide "${guide}")
string(STRIP "${guide}" guide)
set(guide "Volume Tarrow 1.0 for Windows\n=============================\n\n${guide}\n")
string(REPLACE "\n" "\r\n" guide "${guide}")
# Rewritten only when it changes, so that a configure run leaves it alone.
file(WRITE ${CMAKE_BINARY_DIR}/package/README.txt.new "${guide}")
configure_file(${CMAKE_BINARY_DIR}/package/README.txt.new ${CMAKE_BINARY_DIR}/package/README.txt COPYONLY)

install(TARGETS volume-tarrow RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_SYSTEM_NAME win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME volume-tarrow)
set(CPACK_PACKAGE_VERSION 1.0)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME})
# Explorer's "Extract All" makes a folder named after the archive already.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
