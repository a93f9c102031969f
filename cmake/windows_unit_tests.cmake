# With ZR17_WINDOWS_TESTS, a Windows build also makes zr17_unit_tests_win.exe
# from every unit test and GoogleTest's own sources (Debian's libgtest-dev
# ships them), so that the platform layer's Windows side is tested too (under
# Wine on Linux: scripts/windows.sh).
option(ZR17_WINDOWS_TESTS "Windows build: also build the unit tests into one executable" OFF)
set(ZR17_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest sources for the Windows unit tests")
if(WIN32 AND ZR17_WINDOWS_TESTS)
  add_library(zr17_gtest_win STATIC ${ZR17_GTEST_SOURCE}/src/gtest-all.cc
                                    ${ZR17_GTEST_SOURCE}/src/gtest_main.cc)
  target_include_directories(zr17_gtest_win PUBLIC ${ZR17_GTEST_SOURCE}/include
                                            PRIVATE ${ZR17_GTEST_SOURCE})
  add_executable(zr17_unit_tests_win ${ZR17_UNIT_TEST_SOURCES})
  target_compile_definitions(zr17_unit_tests_win PRIVATE ZR17_E2E_DIR="${PROJECT_SOURCE_DIR}/tests/e2e")
  # The host build holds the tests to -Werror; here they only need to run
  # (MinGW's GCC at -O3 gives false -Wrestrict alarms in std::string).
  target_compile_options(zr17_unit_tests_win PRIVATE -Wall -Wextra)
  target_link_libraries(zr17_unit_tests_win PRIVATE zr17 zr17_gtest_win)
endif()
