# The application object and its start-up on Windows, shared by the program and the tests that
# run the dialogs in-process.
add_library(tolvek_app_win OBJECT TolvekApp.cpp InitInstanceWin.cpp)
tolvek_target_defaults(tolvek_app_win)
target_link_libraries(tolvek_app_win PUBLIC tolvek_ui)

# The program, with a window of its own (no console): build/windows-x86/tolvek.exe ships.
add_executable(tolvek WIN32)
tolvek_target_defaults(tolvek)
# WinMain comes from a library; whole, since the runtime's start-up that calls it is linked last.
target_link_libraries(tolvek PRIVATE tolvek_app_win tolvek_ui_resources
                      "$<LINK_LIBRARY:WHOLE_ARCHIVE,tolvek_main>")
set_target_properties(tolvek PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
