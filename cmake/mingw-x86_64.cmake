set(TOLVEK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The x64 twin; its tests run under 64-bit Wine.
