# Finds Qt built for Windows and sets VELLOMAR_QT_WINDOWS to its folder, or
# leaves it empty. Looked up in this order: the variable itself, the
# environment variable VELLOMAR_QT_WINDOWS, ../shared/qt6-mingw-6.4.2 beside
# the source folder, ~/.cache/vellomar/qt6-mingw (where
# scripts/build-qt-windows.sh puts it).
if(NOT VELLOMAR_QT_WINDOWS)
  foreach(candidate "$ENV{VELLOMAR_QT_WINDOWS}"
                    "${CMAKE_CURRENT_LIST_DIR}/../../shared/qt6-mingw-6.4.2"
                    "$ENV{HOME}/.cache/vellomar/qt6-mingw")
    if(candidate AND EXISTS "${candidate}/lib/cmake/Qt6/qt.toolchain.cmake")
      get_filename_component(candidate "${candidate}" ABSOLUTE)
      set(VELLOMAR_QT_WINDOWS "${candidate}" CACHE PATH "Qt built for Windows" FORCE)
      break()
    endif()
  endforeach()
endif()
