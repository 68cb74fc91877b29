# Installation beside the executable (a desktop entry and its icon) and a
# Debian package built by CPack: `cpack -G DEB` in a build directory.

install(FILES ${PROJECT_SOURCE_DIR}/packaging/snowpunt.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The icons at every hicolor size and the scalable one, as the generator
# drew them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snowpunt)
set(CPACK_PACKAGE_VENDOR "Grumm & Finch Studio")
set(CPACK_PACKAGE_CONTACT "Grumm & Finch Studio <dev@snowpunt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "A club-swinging grumm strikes a diving bird across a snow field; the
bird flies, bounces and slides, and the sign shows how far it went. One
button, one window, everything inside one executable.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package installs under /usr whatever the build's own install prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Grumm & Finch Studio <dev@snowpunt.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The library packages the executable needs, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# snowpunt_<version>_<architecture>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
