# Installation beside the executable (desktop entry, AppStream metadata,
# icons, manual page, copyright and changelog) and a Debian package built by
# CPack: `cpack -G DEB` in a build directory.

set(SNOWPUNT_ID invalid.snowpunt.Snowpunt)
set(SNOWPUNT_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# The manual page and the changelog go out compressed as Debian wants them,
# with gzip -9n so the bytes carry no name and no time; the source tree
# holds only the plain texts.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(SNOWPUNT_COMPRESSED)
foreach(doc snowpunt.6 changelog)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging/${doc})
  add_custom_command(OUTPUT ${out}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${SNOWPUNT_PACKAGING}/${doc} ${out}
                     COMMAND ${GZIP_EXECUTABLE} -9nf ${out}
                     DEPENDS ${SNOWPUNT_PACKAGING}/${doc}
                     COMMENT "Compressing ${doc}"
                     VERBATIM)
  list(APPEND SNOWPUNT_COMPRESSED ${out}.gz)
endforeach()
add_custom_target(snowpunt_docs ALL DEPENDS ${SNOWPUNT_COMPRESSED})
# Whatever builds the game builds what its installation carries.
add_dependencies(snowpunt snowpunt_docs)

install(FILES ${SNOWPUNT_PACKAGING}/${SNOWPUNT_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${SNOWPUNT_PACKAGING}/${SNOWPUNT_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The icons at every hicolor size and the scalable one, as the generator
# drew them.
install(DIRECTORY ${SNOWPUNT_PACKAGING}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/snowpunt.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${SNOWPUNT_PACKAGING}/copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://snowpunt.invalid/)
# The library packages the executable needs, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Control files owned by root with the modes dpkg expects.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# snowpunt_<version>_<architecture>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

include(CPack)
