# The release zip: the assembler, README.md, the documentation and the
# example's sources under one top folder (on Windows also README-windows.txt).
#   cmake --build <dir> --target package_zip
# The zip is reproducible: see package_zip_pack.cmake.
set(ZR17_PACKAGE_NAME "zr17_asm-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
string(TOLOWER "${ZR17_PACKAGE_NAME}" ZR17_PACKAGE_NAME)
set(ZR17_PACKAGE_ZIP ${CMAKE_CURRENT_BINARY_DIR}/${ZR17_PACKAGE_NAME}.zip)
if(WIN32)
  set(ZR17_PACKAGE_WINDOWS ON)
else()
  set(ZR17_PACKAGE_WINDOWS OFF)
endif()
add_custom_target(package_zip
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DSTAGE=${CMAKE_CURRENT_BINARY_DIR}/package -DNAME=${ZR17_PACKAGE_NAME}
          -DZIP=${ZR17_PACKAGE_ZIP} -DEXE=$<TARGET_FILE:zr17_asm>
          -DVERSION=${PROJECT_VERSION} -DWINDOWS=${ZR17_PACKAGE_WINDOWS}
          -P ${CMAKE_CURRENT_LIST_DIR}/package_zip_pack.cmake
  DEPENDS zr17_asm
  COMMENT "Packing ${ZR17_PACKAGE_NAME}.zip"
  VERBATIM)
