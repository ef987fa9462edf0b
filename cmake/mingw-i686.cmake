set(TOLVEK_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The shipped build; its tests run under 32-bit Wine where the machine runs 32-bit code.
