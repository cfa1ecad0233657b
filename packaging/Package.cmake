# What the Debian package holds beyond the programs and the manual: the
# manual pages (from scdoc sources), the icons in the sizes desktops ask for
# (drawn from the SVG with rsvg-convert), the AppStream metainfo, the
# copyright and changelog; and the package itself, made by CPack's DEB
# generator (scripts/package.sh).

find_program(SCDOC scdoc REQUIRED)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)

set(generated ${PROJECT_BINARY_DIR}/share)
set(outputs)

# Manual pages: English in man1, Hungarian in hu/man1, compressed the way
# Debian wants them (no name or time stamp in the gzip header).
foreach(page lapora.1 lapora-cli.1 hu/lapora.1 hu/lapora-cli.1)
    set(out ${generated}/man/${page}.gz)
    get_filename_component(dir ${out} DIRECTORY)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${PROJECT_SOURCE_DIR}/packaging/manpage.sh ${SCDOC} ${PROJECT_SOURCE_DIR}/man/${page}.scd ${out}
        DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}.scd ${PROJECT_SOURCE_DIR}/packaging/manpage.sh
        COMMENT "Manual page ${page}"
        VERBATIM)
    list(APPEND outputs ${out})
endforeach()
install(FILES ${generated}/man/lapora.1.gz ${generated}/man/lapora-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/man/hu/lapora.1.gz ${generated}/man/hu/lapora-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/hu/man1)

# The application icon as PNG in the usual sizes, beside the SVG.
foreach(size 16 24 32 48 64 128 256)
    set(out ${generated}/icons/${size}x${size}/lapora.png)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${out} ${PROJECT_SOURCE_DIR}/desktop/lapora.svg
        DEPENDS ${PROJECT_SOURCE_DIR}/desktop/lapora.svg
        COMMENT "Icon ${size}x${size}")
    list(APPEND outputs ${out})
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(changelog ${generated}/doc/changelog.gz)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${generated}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${changelog}
    COMMAND sh -c "\"$1\" -9n < \"$2\" > \"$3\"" sh ${GZIP} ${generated}/doc/changelog ${changelog}
    DEPENDS ${generated}/doc/changelog
    VERBATIM)
list(APPEND outputs ${changelog})
add_custom_target(package_files ALL DEPENDS ${outputs})

set(metainfo ${generated}/metainfo/org.example.lapora.Lapora.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/desktop/lapora.metainfo.xml.in ${metainfo} @ONLY)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lapora)

# The package. Its dependencies on libraries are found by dpkg-shlibdeps;
# what the programs load at run time without linking is named here: Qt's
# platform plugins (the window), its translations (Hungarian dialogs), the
# fonts the cards are drawn with, and Ghostscript (the print shop's CMYK PDF,
# through the profile folder that links to its profiles).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lapora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Lapora developers <info@lapora.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "business-card designer with a Hungarian user interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Lapora composes business cards of stacked text, picture, shape and QR-code
layers, saves them as card files (.bcrd) and prints them ten to an A4 sheet
with cut marks, or on pre-cut card stock with a back side and a calibration
for each printer. It makes QR codes that carry a contact, and cards for a
whole team from one design and a list (mail merge). lapora-cli reads, writes
and renders card files without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LAPORA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation2, fonts-dejavu-core, fonts-wine, ghostscript")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)

# The package made from this build and checked where the Debian tools are.
find_program(DPKG_DEB dpkg-deb)
if(LAPORA_TESTS AND DPKG_DEB)
    add_test(NAME debian_package
        COMMAND ${PROJECT_SOURCE_DIR}/tests/package_check.sh ${PROJECT_BINARY_DIR}
                ${PROJECT_BINARY_DIR}/package-check ${PROJECT_VERSION})
    set_tests_properties(debian_package PROPERTIES TIMEOUT 600)
endif()
