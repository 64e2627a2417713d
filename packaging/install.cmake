# What `cmake --install` puts under the prefix, and the .deb made from it by
# CPack. Paths under the prefix are relative, so an installed tree may be
# moved; the executable finds its sounds in ../share/vermix.
set(VERMIX_APP_ID org.vermix.Vermix)
set(VERMIX_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The manual page, written from the option table by a tool linked with the
# game's own code.
add_executable(make_man ${CMAKE_SOURCE_DIR}/tools/assets/make-man/main.cpp)
target_link_libraries(make_man PRIVATE vermix_core)
set(VERMIX_MAN_PAGE ${CMAKE_BINARY_DIR}/vermix.6)
add_custom_command(OUTPUT ${VERMIX_MAN_PAGE}
  COMMAND make_man ${VERMIX_MAN_PAGE}
  DEPENDS make_man
  COMMENT "Writing the manual page")

# The icons, drawn from the game's sprite sheet.
add_executable(make_icons ${CMAKE_SOURCE_DIR}/tools/assets/make-icons/main.cpp)
target_link_libraries(make_icons PRIVATE PkgConfig::PNG)
set(VERMIX_ICON_SIZES 16 22 24 32 48 64 128 256)
set(VERMIX_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(VERMIX_ICON_FILES)
foreach(size ${VERMIX_ICON_SIZES})
  list(APPEND VERMIX_ICON_FILES ${VERMIX_ICON_DIR}/${size}.png)
endforeach()
add_custom_command(OUTPUT ${VERMIX_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VERMIX_ICON_DIR}
  COMMAND make_icons ${VERMIX_ASSET_DIR}/graphx/vermix_01.png ${VERMIX_ICON_DIR}
  DEPENDS make_icons ${VERMIX_ASSET_DIR}/graphx/vermix_01.png
  COMMENT "Drawing the icons")

set(VERMIX_METAINFO ${CMAKE_BINARY_DIR}/${VERMIX_APP_ID}.metainfo.xml)
configure_file(${VERMIX_PACKAGING_DIR}/${VERMIX_APP_ID}.metainfo.xml.in
  ${VERMIX_METAINFO} @ONLY)

add_custom_target(desktop_files ALL DEPENDS ${VERMIX_MAN_PAGE} ${VERMIX_ICON_FILES})

install(TARGETS vermix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VERMIX_SOUND_FILES} DESTINATION ${VERMIX_INSTALL_DATADIR})
install(FILES ${VERMIX_PACKAGING_DIR}/${VERMIX_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VERMIX_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${VERMIX_ICON_SIZES})
  install(FILES ${VERMIX_ICON_DIR}/${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VERMIX_APP_ID}.png)
endforeach()
install(FILES ${VERMIX_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vermix)
set(CPACK_PACKAGE_VENDOR "Quillwork Studio")
set(CPACK_PACKAGE_CONTACT "Quillwork Studio <games@vermix.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "single-screen arcade shooter, flat or in 3D")
set(CPACK_PACKAGE_DESCRIPTION
  "Shoot apart the crawler chain that winds down through the mushroom field,\n\
fend off four kinds of insect and chase a high score that survives from run\n\
to run. Mouse, keyboard or gamepad; versus on two gamepads; anaglyph 3D.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the executable links, as the packages that hold them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET vermix-server)
  # Two packages: the game (the files of no named component) and the
  # server (server/packaging/package.cmake).
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME vermix)
  set(CPACK_DEBIAN_UNSPECIFIED_FILE_NAME DEB-DEFAULT)
endif()
include(CPack)
