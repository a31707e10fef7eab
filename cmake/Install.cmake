# cmake --install lays the editor out as one self-contained folder (the journal and the
# exported data/ copies are written beside the executable, so choose a prefix the user can
# write to, such as ~/.local), plus a desktop entry and an icon.
include(GNUInstallDirs)
set(SKARVEL_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/skarvel)

install(TARGETS skarvel bini RUNTIME DESTINATION ${SKARVEL_INSTALL_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/resource.ini DESTINATION ${SKARVEL_INSTALL_DIR})
install(CODE "
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"../${SKARVEL_INSTALL_DIR}/skarvel\"
       \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/skarvel\" SYMBOLIC)
")
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/skarvel.desktop)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/skarvel.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/icons/skarvel.png)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/skarvel.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
endif()
