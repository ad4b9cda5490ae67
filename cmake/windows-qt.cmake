# Cross-builds the whole tool for 64-bit Windows with MinGW-w64 against a Qt
# built for Windows (the `windows` preset uses this file as its toolchain;
# cmake/VellomarQtWindows.cmake says where Qt for Windows is looked up).
# The programs link the C++ runtime as DLLs, as the Qt DLLs do, and ship them.
set(VELLOMAR_MINGW_SHARED_RUNTIME ON)

include("${CMAKE_CURRENT_LIST_DIR}/VellomarQtWindows.cmake")
if(NOT VELLOMAR_QT_WINDOWS)
  message(FATAL_ERROR "No Qt for Windows: set VELLOMAR_QT_WINDOWS, or run 'bash scripts/dev.sh windows', "
                      "which builds it into ~/.cache/vellomar/qt6-mingw")
endif()

set(QT_CHAINLOAD_TOOLCHAIN_FILE "${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake")
# The Linux Qt's moc, rcc and uic serve the cross build.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
include("${VELLOMAR_QT_WINDOWS}/lib/cmake/Qt6/qt.toolchain.cmake")
