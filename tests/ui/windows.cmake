# The Windows user interface: its dialogs driven in-process, and the program run as a whole.
# They share the one Wine desktop, where windows of tests running side by side would take the
# activation and the focus from each other: these tests run one at a time.
tolvek_test(ui_dialog_tests
  ui/DialogTest.cpp
  ui/EnvSetDlgTest.cpp
  ui/JobPathTest.cpp
  ui/ModalScript.cpp
  ui/TolvekDlgTest.cpp
  LIBS tolvek_app_win tolvek_ui_resources
  PROPERTIES RESOURCE_LOCK wine_desktop)

# Starts the real program: it must be built, and the tests find it from their own folder.
tolvek_test(ui_program_tests ui/ProgramTest.cpp
  PROPERTIES RESOURCE_LOCK wine_desktop)
add_dependencies(ui_program_tests tolvek)
file(RELATIVE_PATH tolvek_exe_from_tests ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_BINARY_DIR}/tolvek.exe)
target_compile_definitions(ui_program_tests PRIVATE TOLVEK_EXE_FROM_TESTS="${tolvek_exe_from_tests}")

# Not a test: shows the windows for tools/screenshots.
add_executable(tolvek_screens ui/ScreenDriver.cpp ui/ModalScript.cpp)
tolvek_target_defaults(tolvek_screens)
target_link_libraries(tolvek_screens PRIVATE tolvek_app_win tolvek_ui_resources tolvek_test_support
                      ${TOLVEK_GTEST_LIBS})
