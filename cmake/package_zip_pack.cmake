# Packs the release zip (run by the package_zip target):
#   cmake -DSOURCE_DIR= -DSTAGE= -DNAME= -DZIP= -DEXE= -DVERSION= -DWINDOWS=ON|OFF
#         -P package_zip_pack.cmake
#
# The same sources give the same zip, byte for byte: every entry gets one
# fixed time and fixed permissions, and the entries are listed in sorted
# order. (The zip also records the builder's user and group ids, which
# cmake -E tar cannot set.) Of the examples only the sources go in, never what assembling them
# in place has left beside them.
cmake_minimum_required(VERSION 3.25)

set(top ${STAGE}/${NAME})
file(REMOVE_RECURSE ${STAGE})
file(REMOVE ${ZIP})
file(MAKE_DIRECTORY ${top})

set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(runnable ${readable} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
file(COPY ${EXE} DESTINATION ${top} FILE_PERMISSIONS ${runnable})
file(COPY ${SOURCE_DIR}/README.md DESTINATION ${top} FILE_PERMISSIONS ${readable})
file(GLOB docs ${SOURCE_DIR}/docs/*.md ${SOURCE_DIR}/docs/*.1)
file(COPY ${docs} DESTINATION ${top}/docs FILE_PERMISSIONS ${readable})
file(GLOB examples ${SOURCE_DIR}/examples/*.asm ${SOURCE_DIR}/examples/*.inc)
file(COPY ${examples} DESTINATION ${top}/examples FILE_PERMISSIONS ${readable})
if(WINDOWS)
  # Notepad and type show it right with CR LF line ends.
  file(READ ${CMAKE_CURRENT_LIST_DIR}/README-windows.txt.in text)
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${top}/README-windows.txt "${text}")
  file(CHMOD ${top}/README-windows.txt FILE_PERMISSIONS ${readable})
endif()

# One time for every entry: SOURCE_DATE_EPOCH, or 1980-01-01 00:00:00 UTC
# (315532800), the earliest time a zip entry can carry. It reaches the
# archiver as SOURCE_DATE_EPOCH, which sets the access and change times of
# the zip's extended time field too; --mtime would set the modification time
# alone. The DOS time of each entry is local time, hence TZ=UTC.
set(epoch 315532800)
if("$ENV{SOURCE_DATE_EPOCH}" MATCHES "^[0-9]+$" AND "$ENV{SOURCE_DATE_EPOCH}" GREATER ${epoch})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
endif()

file(GLOB_RECURSE entries RELATIVE ${STAGE} ${top}/*)
list(SORT entries)
list(JOIN entries "\n" listing)
file(WRITE ${STAGE}/files.txt "${listing}\n")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC SOURCE_DATE_EPOCH=${epoch}
          ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip --files-from=files.txt
  WORKING_DIRECTORY ${STAGE}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "packing ${ZIP} failed: ${status}")
endif()
