# The product and the Windows suite, cross-built with mingw-w64 and run under Wine.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
set(STATIC_FLAGS -static -static-libgcc -static-libstdc++)

file(GLOB_RECURSE WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(tarnwick_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(tarnwick_win32 PUBLIC tarnwick_core shlwapi mstask ole32 oleaut32 uuid shell32 advapi32 user32 version wininet)
tarnwick_warnings(tarnwick_win32)

file(GLOB_RECURSE UI_SOURCES CONFIGURE_DEPENDS src/ui/*.cpp src/ui/*.rc)
list(FILTER UI_SOURCES EXCLUDE REGEX "/src/ui/updater[^/]*$")
if(UI_SOURCES)
  enable_language(RC)
  add_executable(tarnwick WIN32 ${UI_SOURCES})
  target_include_directories(tarnwick PRIVATE src/ui)
  target_link_libraries(tarnwick PRIVATE tarnwick_win32 comctl32 gdi32 comdlg32 msimg32 uxtheme)
  target_link_options(tarnwick PRIVATE ${STATIC_FLAGS})
  target_compile_options(tarnwick PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra>)

  # The GUI smoke test: the program on a seeded prefix under Xvfb, driven by a small probe.
  add_executable(tarnwick_gui_probe tests/ui/gui_probe.cpp)
  target_link_libraries(tarnwick_gui_probe PRIVATE user32 ole32 uuid)
  target_link_options(tarnwick_gui_probe PRIVATE ${STATIC_FLAGS})
  tarnwick_warnings(tarnwick_gui_probe)
  add_test(NAME tarnwick_gui_smoke
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/ui/gui_smoke.sh $<TARGET_FILE:tarnwick>
                   $<TARGET_FILE:tarnwick_gui_probe> ${CMAKE_BINARY_DIR}/gui-smoke $<TARGET_FILE:tarnwick-cli>)
  set_tests_properties(tarnwick_gui_smoke PROPERTIES TIMEOUT 900)

  # The updater the update check starts, beside tarnwick.exe.
  add_executable(TarnwickUpdate WIN32 src/ui/updater_main.cpp src/ui/win32_ui.cpp src/ui/win32_prompts.cpp
                                      src/ui/updater.rc)
  target_include_directories(TarnwickUpdate PRIVATE src/ui)
  target_link_libraries(TarnwickUpdate PRIVATE tarnwick_win32 comctl32 gdi32)
  target_link_options(TarnwickUpdate PRIVATE ${STATIC_FLAGS})
  tarnwick_warnings(TarnwickUpdate)
endif()

# The console front end.
add_executable(tarnwick-cli src/cli/cli_main.cpp)
target_link_libraries(tarnwick-cli PRIVATE tarnwick_win32)
target_link_options(tarnwick-cli PRIVATE ${STATIC_FLAGS})
tarnwick_warnings(tarnwick-cli)

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The contract tests run here against the real API, plus the Windows-only end-to-end tests.
file(GLOB_RECURSE WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/platform/*.cpp tests/e2e/*.cpp tests/support/*.cpp)
list(FILTER WIN_TEST_SOURCES EXCLUDE REGEX "/tests/support/memory_")
add_executable(tarnwick_win_tests ${WIN_TEST_SOURCES})
target_include_directories(tarnwick_win_tests PRIVATE tests)
target_include_directories(tarnwick_win_tests SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/third_party/include)
target_link_libraries(tarnwick_win_tests PRIVATE tarnwick_win32 gtest gtest_main ws2_32)
target_link_options(tarnwick_win_tests PRIVATE ${STATIC_FLAGS})
tarnwick_warnings(tarnwick_win_tests)

# A do-nothing service the Windows suite registers with the service control manager; it runs beside the suite.
add_executable(tarnwick_test_service tests/win/test_service.cpp)
target_link_options(tarnwick_test_service PRIVATE ${STATIC_FLAGS})
tarnwick_warnings(tarnwick_test_service)
add_dependencies(tarnwick_win_tests tarnwick_test_service)

# A stand-in uninstaller the uninstall manager's Wine test starts; it writes a marker file.
add_executable(tarnwick_test_uninstaller WIN32 tests/win/test_uninstaller.cpp)
target_link_libraries(tarnwick_test_uninstaller PRIVATE shell32)
target_link_options(tarnwick_test_uninstaller PRIVATE ${STATIC_FLAGS})
tarnwick_warnings(tarnwick_test_uninstaller)
add_dependencies(tarnwick_win_tests tarnwick_test_uninstaller)

# One Wine start per executable: the whole suite is one ctest test.
add_test(NAME tarnwick_win_tests COMMAND tarnwick_win_tests)
set_tests_properties(tarnwick_win_tests PROPERTIES TIMEOUT 900)

# What users download: the setup program (NSIS) and a portable zip, both of the same stripped program files,
# staged in package/Tarnwick/. The default build makes both.
find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis is missing: run scripts/install-deps.sh (Debian package nsis)")
endif()
set(SHIPPED_TARGETS tarnwick tarnwick-cli TarnwickUpdate)
set(PACKAGE_DIR ${CMAKE_BINARY_DIR}/package/Tarnwick)
set(SHIPPED_FILES)
set(ZIPPED_NAMES)
foreach(shipped ${SHIPPED_TARGETS})
  list(APPEND SHIPPED_FILES ${PACKAGE_DIR}/${shipped}.exe)
  list(APPEND ZIPPED_NAMES Tarnwick/${shipped}.exe)
  add_custom_command(OUTPUT ${PACKAGE_DIR}/${shipped}.exe
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_DIR}
                     COMMAND ${CMAKE_STRIP} -o ${PACKAGE_DIR}/${shipped}.exe $<TARGET_FILE:${shipped}>
                     DEPENDS ${shipped} VERBATIM)
endforeach()

set(SETUP_EXE ${CMAKE_BINARY_DIR}/TarnwickSetup-${PROJECT_VERSION}.exe)
add_custom_command(OUTPUT ${SETUP_EXE}
                   COMMAND ${MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION}
                           -DVERSION_QUAD=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0
                           -DOUTFILE=${SETUP_EXE} -DFILES=${PACKAGE_DIR} -DICON=${CMAKE_SOURCE_DIR}/src/ui/res/tarnwick.ico
                           ${CMAKE_SOURCE_DIR}/installer/tarnwick.nsi
                   DEPENDS ${CMAKE_SOURCE_DIR}/installer/tarnwick.nsi ${CMAKE_SOURCE_DIR}/src/ui/res/tarnwick.ico
                           ${SHIPPED_FILES}
                   COMMENT "Setup program ${SETUP_EXE}" VERBATIM)
add_custom_target(tarnwick_installer ALL DEPENDS ${SETUP_EXE})

set(PORTABLE_ZIP ${CMAKE_BINARY_DIR}/Tarnwick-${PROJECT_VERSION}.zip)
add_custom_command(OUTPUT ${PORTABLE_ZIP}
                   COMMAND ${CMAKE_COMMAND} -E rm -f ${PORTABLE_ZIP}
                   COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
                           ${CMAKE_COMMAND} -E tar cf ${PORTABLE_ZIP} --format=zip ${ZIPPED_NAMES}
                   DEPENDS ${SHIPPED_FILES}
                   COMMENT "Portable zip ${PORTABLE_ZIP}" VERBATIM)
add_custom_target(tarnwick_zip ALL DEPENDS ${PORTABLE_ZIP})

# Installs silently under Wine, starts the installed console front end, uninstalls silently; unpacks the zip.
add_test(NAME tarnwick_installer_test
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/installer/installer_test.sh ${SETUP_EXE} ${PORTABLE_ZIP}
                 ${CMAKE_BINARY_DIR}/installer-test)
set_tests_properties(tarnwick_installer_test PROPERTIES TIMEOUT 300)
