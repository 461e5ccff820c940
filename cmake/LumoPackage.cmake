# A Debian package of the install tree:
#   cpack --config build/CPackConfig.cmake -G DEB -B build/packages
# Its dependencies are the packages of the shared libraries the library and
# programs load (dpkg-shlibdeps), the Mesa drivers that off-screen rendering
# needs at run time, and the Xerces-C development files that the installed
# headers, CMake package and pkg-config file refer to.
set(LUMO_PACKAGE_CONTACT "lumoscene maintainers <maintainers@lumoscene.invalid>"
  CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME lumoscene)
set(CPACK_PACKAGE_VENDOR "lumoscene")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${LUMO_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D scene library for business charts and shelf plans, with its programs")
set(CPACK_PACKAGE_DESCRIPTION
  "The lumoscene library reads and writes X3D documents with its own node types for charts and shelf plans and renders them with OpenGL into windows and bitmaps (off-screen through EGL, no display server needed). The package holds the shared library, its headers, a CMake package and a pkg-config file, the example renderer x3d-render and the launcher programs launcher and guistarter, with their manual pages.")
# Debian packages carry no debugging information and no rpath to the build tree.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libegl-mesa0, libgl1-mesa-dri, libxerces-c-dev")

include(CPack)
