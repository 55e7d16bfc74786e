# The same build for 64-bit Windows. The program ships as the 32-bit build; this one exists so
# that the tests can run under 64-bit Wine on machines whose kernel cannot run 32-bit code.
set(ORVELLA_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
