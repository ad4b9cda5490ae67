# What every target of the tree shares: its warnings, and the headers it may
# include.

# -Wall -Wextra for every target in every preset (GCC for Linux and MinGW-w64
# alike); with VELLOMAR_WERROR, as CI builds, a warning fails the build.
option(VELLOMAR_WERROR "Treat warnings as errors" OFF)
add_library(vellomar_warnings INTERFACE)
target_compile_options(vellomar_warnings INTERFACE -Wall -Wextra $<$<BOOL:${VELLOMAR_WERROR}>:-Werror>)
link_libraries(vellomar_warnings) # every target made from here on

# vellomar_library(<target>): the target's own headers, each as
# "<folder>/<name>.h" from the project's root, for itself and for whoever
# links it, and no other header of the tree. A library that includes a
# header of a library it does not link does not build. Called once the
# target has all its sources.
function(vellomar_library target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(folder ${target} SOURCE_DIR)
  set(headers ${CMAKE_BINARY_DIR}/headers/${target})
  file(REMOVE_RECURSE ${headers})
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.h$")
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${folder} OUTPUT_VARIABLE absolute)
      cmake_path(RELATIVE_PATH absolute BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE relative)
      cmake_path(GET relative PARENT_PATH parent)
      file(MAKE_DIRECTORY ${headers}/${parent})
      # Where links need rights the user lacks (Windows), a copy, which an
      # edit of the header brings up to date by configuring again.
      file(CREATE_LINK ${absolute} ${headers}/${relative} SYMBOLIC COPY_ON_ERROR)
      if(NOT IS_SYMLINK ${headers}/${relative})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${absolute})
      endif()
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${headers})
endfunction()
