# Install rules: the scene library with its public headers, a CMake package
# (find_package(lumoscene CONFIG) -> lumoscene::lumoscene) and a pkg-config
# file; programs with their manual pages.
#
#   lumo_install_library(TARGET)           a shared library of the package
#   lumo_install_program(TARGET MANPAGE F) a program and its man(7) page F
#   lumo_install_package()                 headers, CMake package, .pc file
#                                          (once, after the subdirectories)
#
# A shared library that lumoscene links PUBLIC (an object runtime of its
# own, say) must join the package with lumo_install_library, so that the
# exported lumoscene::lumoscene can name it. Programs are registered before
# tests/ is read: the tests list their manual pages from that registry.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Installed headers keep their paths from the repository root under this
# folder: include/lumoscene/scene/model/Color.h.
set(LUMO_INCLUDE_ROOT ${CMAKE_INSTALL_INCLUDEDIR}/lumoscene)
set(LUMO_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lumoscene)
set(LUMO_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The public headers are every header under scene/ and the platform folders
# that those headers include (value types, the object model's base, device
# contexts). The other platform folders (OpenGL contexts, URL cache, UTF-8
# text, clock) are the library's own business.
set(LUMO_PUBLIC_PLATFORM_FOLDERS win com gdi print)
# Headers of public folders that no public header includes and that name
# the library's internals; kept out of the install tree.
set(LUMO_PRIVATE_HEADERS
  scene/x3d/XmlText.h # the Xerces text conversions of the reader and writer
  platform/print/PageFont.h # the page font lookup (cairo types)
)

foreach(dir IN ITEMS LIBDIR BINDIR INCLUDEDIR MANDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
    message(FATAL_ERROR "CMAKE_INSTALL_${dir} must be relative to the install prefix "
                        "(the CMake package and the pkg-config file move with the prefix)")
  endif()
endforeach()

function(lumo_install_library target)
  install(TARGETS ${target} EXPORT lumosceneTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${LUMO_INCLUDE_ROOT})
endfunction()

# Installs a program into bin/ and its manual page (man(7) source, the
# section taken from its extension) gzipped into the man folder. The page
# may use @PROJECT_VERSION@. The tests check that the page and the
# program's --help name the same options.
function(lumo_install_program target)
  cmake_parse_arguments(ARG "" "MANPAGE" "" ${ARGN})
  if(NOT ARG_MANPAGE)
    message(FATAL_ERROR "lumo_install_program(${target}): every installed program needs a MANPAGE")
  endif()
  get_filename_component(source ${ARG_MANPAGE} ABSOLUTE)
  get_filename_component(page ${ARG_MANPAGE} NAME)
  string(REGEX MATCH "[0-9]$" section "${page}")
  if(NOT section)
    message(FATAL_ERROR "lumo_install_program(${target}): ${page} has no section number as its extension")
  endif()

  set(configured ${PROJECT_BINARY_DIR}/man/${page})
  configure_file(${source} ${configured} @ONLY)
  add_custom_command(OUTPUT ${configured}.gz
    COMMAND gzip -9 -n -k -f ${configured}
    DEPENDS ${configured}
    COMMENT "Compressing manual page ${page}" VERBATIM)
  add_custom_target(${target}-manpage ALL DEPENDS ${configured}.gz)
  install(FILES ${configured}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT Runtime)

  # Programs that use the package's libraries find them from wherever the
  # prefix lies.
  get_target_property(links ${target} LINK_LIBRARIES)
  if(links MATCHES "(^|;)lumoscene($|;)")
    file(RELATIVE_PATH to_lib /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_lib}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

  set_property(GLOBAL APPEND PROPERTY LUMO_MANPAGES "${target}=${configured}")
endfunction()

function(lumo_install_package)
  set(excludes "")
  foreach(header IN LISTS LUMO_PRIVATE_HEADERS)
    string(REPLACE "." "\\." pattern "${header}")
    list(APPEND excludes REGEX "/${pattern}$" EXCLUDE)
  endforeach()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/scene/ DESTINATION ${LUMO_INCLUDE_ROOT}/scene
    COMPONENT Development FILES_MATCHING PATTERN "*.h" ${excludes})
  foreach(folder IN LISTS LUMO_PUBLIC_PLATFORM_FOLDERS)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/${folder}/ DESTINATION ${LUMO_INCLUDE_ROOT}/platform/${folder}
      COMPONENT Development FILES_MATCHING PATTERN "*.h" ${excludes})
  endforeach()

  install(EXPORT lumosceneTargets NAMESPACE lumoscene:: DESTINATION ${LUMO_CMAKE_PACKAGE_DIR}
    COMPONENT Development)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/lumosceneConfig.cmake.in
    ${PROJECT_BINARY_DIR}/lumosceneConfig.cmake INSTALL_DESTINATION ${LUMO_CMAKE_PACKAGE_DIR})
  # 0.x: a new minor version may change the interface.
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/lumosceneConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/lumosceneConfig.cmake ${PROJECT_BINARY_DIR}/lumosceneConfigVersion.cmake
    DESTINATION ${LUMO_CMAKE_PACKAGE_DIR} COMPONENT Development)

  # The .pc file finds the prefix from its own folder, so that it stays
  # true wherever the tree is installed (--prefix, DESTDIR, packages).
  file(RELATIVE_PATH LUMO_PC_TO_PREFIX /prefix/${LUMO_PKGCONFIG_DIR} /prefix)
  string(REGEX REPLACE "/$" "" LUMO_PC_TO_PREFIX "${LUMO_PC_TO_PREFIX}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/lumoscene.pc.in ${PROJECT_BINARY_DIR}/lumoscene.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/lumoscene.pc DESTINATION ${LUMO_PKGCONFIG_DIR} COMPONENT Development)
endfunction()
