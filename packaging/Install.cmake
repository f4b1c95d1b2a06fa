# How the Linux package (CPack, .deb) installs the program; included by the
# top CMakeLists.txt once every target exists.
set(icon_dir ${CMAKE_BINARY_DIR}/icons)
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

# The manual page, from the program's own --help.
find_program(VARKEL_HELP2MAN help2man)
set(man_page ${CMAKE_BINARY_DIR}/man/varkelchecker.1.gz)
if(VARKEL_HELP2MAN)
  add_custom_command(OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${VARKEL_HELP2MAN} --no-info --no-discard-stderr --section=1
            --name=award\ statistics\ of\ a\ Varkel\ logbook --version-string=${PROJECT_VERSION}
            --output=${CMAKE_BINARY_DIR}/man/varkelchecker.1 $<TARGET_FILE:varkelchecker>
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/man/varkelchecker.1
    DEPENDS varkelchecker VERBATIM)
  add_custom_target(manpage ALL DEPENDS ${man_page})
endif()

# The Debian package: the program and its reader in /usr/lib/varkelchecker
# (the reader is looked for beside the program), /usr/bin/varkelchecker a link.
set(libdir lib/varkelchecker)
install(TARGETS varkelchecker varkel-reader RUNTIME DESTINATION ${libdir})
install(FILES ${PROJECT_SOURCE_DIR}/sample/varkeldt.mdb DESTINATION ${libdir})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/links)
file(CREATE_LINK ../${libdir}/varkelchecker ${CMAKE_BINARY_DIR}/links/varkelchecker SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/links/varkelchecker DESTINATION bin)
install(FILES ${packaging_dir}/org.varkelchecker.VarkelChecker.desktop DESTINATION share/applications)
string(TIMESTAMP VARKEL_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${packaging_dir}/org.varkelchecker.VarkelChecker.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/org.varkelchecker.VarkelChecker.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/org.varkelchecker.VarkelChecker.metainfo.xml DESTINATION share/metainfo)
install(FILES ${packaging_dir}/varkelchecker.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN LISTS VARKEL_ICON_SIZES)
  install(FILES ${icon_dir}/${size}x${size}/varkelchecker.png DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
if(VARKEL_HELP2MAN)
  install(FILES ${man_page} DESTINATION share/man/man1)
endif()
install(FILES ${packaging_dir}/copyright DESTINATION share/doc/varkelchecker)
string(TIMESTAMP VARKEL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging_dir}/changelog.in ${CMAKE_BINARY_DIR}/generated/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/generated/changelog.gz
  COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/generated/changelog > ${CMAKE_BINARY_DIR}/generated/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/generated/changelog)
add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/generated/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/generated/changelog.gz DESTINATION share/doc/varkelchecker)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varkelchecker)
set(CPACK_PACKAGE_VENDOR "The VarkelChecker developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The VarkelChecker developers <varkelchecker@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "award statistics of a Varkel amateur-radio logbook")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "VarkelChecker opens an operator's Varkel logbook (an Access file) read-only
and shows the award statistics as a grid of counts: worked, confirmed, not
confirmed and award-checked, per band and mode class, for contacts, DXCC
countries, prefixes, zones, continents and locator squares. Every count
drills down into the contacts or entities behind it.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hamradio-files")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
