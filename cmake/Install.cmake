# cmake --install lays the editor out as one folder lib/skarvel/ (the editor skarvel, the
# converter bini and resource.ini) with a link bin/skarvel, plus the desktop entry, the icon,
# the AppStream file, the manual pages, the licence and the demo game. When lib/skarvel/ cannot be written,
# the journal and the exported data/ copies go to the user's state and data folders.
# cpack -G DEB packs the same layout under /usr (cmake/Package.cmake).
include(GNUInstallDirs)
# Not CMAKE_INSTALL_LIBDIR: that is the multiarch library folder under /usr.
set(SKARVEL_INSTALL_DIR lib/skarvel)
set(SKARVEL_APP_ID org.skarvel.Skarvel)
set(SKARVEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/skarvel)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS skarvel bini RUNTIME DESTINATION ${SKARVEL_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/resource.ini DESTINATION ${SKARVEL_INSTALL_DIR})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${SKARVEL_INSTALL_DIR}/skarvel\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/skarvel\" SYMBOLIC)
")
# The demo game that skarvel --demo copies for the user: data files only. The program looks
# for it at ../../share/skarvel/demo-game from lib/skarvel/ (ships/DemoGame.cpp).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/demo-game/DATA
        DESTINATION ${CMAKE_INSTALL_DATADIR}/skarvel/demo-game
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CMAKE_SOURCE_DIR}/resources/${SKARVEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/skarvel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# The files that carry the version, and the gzipped manual pages and changelog (gzip -n: no
# name or time stamp inside, so the same sources give the same bytes).
set(SKARVEL_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
# The package's maintainer fields need an address even when the program shows none.
if(SKARVEL_CONTACT_ADDRESS)
  set(SKARVEL_PACKAGE_ADDRESS "${SKARVEL_CONTACT_ADDRESS}")
  set(SKARVEL_UPDATE_CONTACT "<update_contact>${SKARVEL_CONTACT_ADDRESS}</update_contact>")
else()
  set(SKARVEL_PACKAGE_ADDRESS "skarvel@example.org")
  set(SKARVEL_UPDATE_CONTACT "")
endif()
configure_file(${CMAKE_SOURCE_DIR}/resources/${SKARVEL_APP_ID}.metainfo.xml.in
               ${SKARVEL_PACKAGE_DIR}/${SKARVEL_APP_ID}.metainfo.xml @ONLY)
find_program(SKARVEL_GZIP gzip REQUIRED)
set(SKARVEL_GZIPPED)
foreach(page skarvel.1 bini.1 changelog)
  configure_file(${CMAKE_SOURCE_DIR}/resources/package/${page}.in ${SKARVEL_PACKAGE_DIR}/${page}
                 @ONLY)
  add_custom_command(OUTPUT ${SKARVEL_PACKAGE_DIR}/${page}.gz
    COMMAND ${SKARVEL_GZIP} -9nf -k ${page}
    DEPENDS ${SKARVEL_PACKAGE_DIR}/${page}
    WORKING_DIRECTORY ${SKARVEL_PACKAGE_DIR}
    VERBATIM)
  list(APPEND SKARVEL_GZIPPED ${SKARVEL_PACKAGE_DIR}/${page}.gz)
endforeach()
add_custom_target(skarvel_package_files ALL DEPENDS ${SKARVEL_GZIPPED})

install(FILES ${SKARVEL_PACKAGE_DIR}/${SKARVEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${SKARVEL_PACKAGE_DIR}/skarvel.1.gz ${SKARVEL_PACKAGE_DIR}/bini.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/resources/package/copyright ${SKARVEL_PACKAGE_DIR}/changelog.gz
        DESTINATION ${SKARVEL_DOC_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
