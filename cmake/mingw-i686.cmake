# The program as it ships: 32-bit Windows (PE32).
set(ORVELLA_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
