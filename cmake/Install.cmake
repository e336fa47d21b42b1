# What `cmake --install` places: the programs, the desktop entry with the
# file types it opens, the icon at the theme's sizes, the AppStream metadata
# and the README. An installed rq4800 keeps the user's settings and flash in
# the XDG folders (host/data_folders.h); it recognises itself by
# share/doc/rq4800 beside its bin folder.
set(app_id org.rq4800.rq4800)
install(TARGETS rq4800-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET rq4800)
  install(TARGETS rq4800 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES packaging/rq4800-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME rq4800.xml)
  foreach(size IN LISTS RQ4800_ICON_SIZES)
    install(FILES ${RQ4800_ICON_DIR}/rq4800-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME rq4800.png)
  endforeach()
endif()
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
