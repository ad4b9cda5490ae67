# Windows: one program folder (C:\Program Files\Vellomar for all users, or
# %LOCALAPPDATA%\Programs\Vellomar for the current user only) holding the
# four programs, the Start menu starter, the Qt and MinGW runtime DLLs with
# Qt's plugins, the read-me and the licences; an NSIS installer and a zip of it.
#   cmake --preset windows && cmake --build --preset windows
#   (cd build/windows && cpack)   ->  vellomar-1.0.0-win64.exe and .zip

add_executable(vellomar_start WIN32 windows/vellomar-start.cpp)
target_link_libraries(vellomar_start PRIVATE vellomar_winplat)
target_compile_definitions(vellomar_start PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_options(vellomar_start PRIVATE -municode)
set_target_properties(vellomar_start PROPERTIES OUTPUT_NAME vellomar-start)

install(TARGETS vellomar vellomar_start brinol zeptra rendaro RUNTIME DESTINATION .)

# Every program carries the application icon and its version information
# (Explorer's Properties > Details, the Start menu, Apps & features).
set(VELLOMAR_ICON ${CMAKE_CURRENT_SOURCE_DIR}/icons/vellomar.ico)
function(vellomar_program_resources target description)
  get_target_property(name ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  if(NOT name)
    set(name ${target})
  endif()
  if(NOT suffix)
    set(suffix .exe)
  endif()
  set(VELLOMAR_RC_FILE ${name}${suffix})
  set(VELLOMAR_RC_DESCRIPTION "${description}")
  configure_file(windows/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc TARGET_DIRECTORY ${target}
               APPEND PROPERTY OBJECT_DEPENDS ${VELLOMAR_ICON})
endfunction()
vellomar_program_resources(vellomar "Vellomar: programs to start at logon")
vellomar_program_resources(vellomar_start "Vellomar, started in the user's working folder")
vellomar_program_resources(brinol "Vellomar: gathers the entry files into day lists")
vellomar_program_resources(zeptra "Vellomar: removes the entry files and day lists")
vellomar_program_resources(rendaro "Vellomar's launcher: starts the day's programs")
install(FILES ${PROJECT_SOURCE_DIR}/readme.1st ${PROJECT_SOURCE_DIR}/license.txt DESTINATION .)

install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "The compiler has no ${dll}; the programs cannot run without it")
  endif()
  # Shipped without their debugging symbols (libstdc++ shrinks from 23 MB to 2).
  execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${CMAKE_CURRENT_BINARY_DIR}/${dll} ${dll_path}
                  RESULT_VARIABLE stripped)
  if(NOT stripped EQUAL 0)
    message(FATAL_ERROR "Cannot strip ${dll_path} with ${CMAKE_STRIP}")
  endif()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${dll} DESTINATION .)
endforeach()
install(FILES windows/qt-licence.txt DESTINATION .)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION . RENAME GPL-3.txt)

set(CPACK_PACKAGE_NAME vellomar)
set(CPACK_PACKAGE_VENDOR "The Vellomar developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Starts chosen programs at logon on chosen weekdays")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME vellomar-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vellomar)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vellomar)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/license.txt)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_STRIP_FILES ON)

# A 64-bit installer for 64-bit programs, from our own template
# (windows/NSIS.template.in): for all users or for the current user only.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/windows)
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME Vellomar)
set(CPACK_NSIS_DISPLAY_NAME Vellomar)
set(CPACK_NSIS_INSTALLED_ICON_NAME vellomar.exe)
set(CPACK_NSIS_MUI_ICON ${VELLOMAR_ICON})
set(CPACK_NSIS_MUI_UNIICON ${VELLOMAR_ICON})
include(CPack)
