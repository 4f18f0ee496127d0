# Start-up options of eqcircle, installation beyond the program and its background
# map (desktop entry, icons, AppStream metainfo, manual page, Debian documents) and
# the Debian package: `cpack -G DEB` in the build folder.

include(GNUInstallDirs)
set(eq_packaging_src ${PROJECT_SOURCE_DIR}/packaging)
set(eq_packaging_bin ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${eq_packaging_bin})

# --help, --version and the display check run before the application object exists.
target_sources(eqcircle-window PRIVATE ${PROJECT_SOURCE_DIR}/src/app/startup_options.cpp)
target_compile_definitions(eqcircle-window PRIVATE EQCIRCLE_VERSION="${PROJECT_VERSION}")

# The 256 px icon is rendered from the scalable one, so the two never disagree.
add_executable(make_app_icon ${eq_packaging_src}/make_app_icon.cpp)
target_link_libraries(make_app_icon PRIVATE Qt6::Gui Qt6::Svg)
set(eq_icon_png ${eq_packaging_bin}/eqcircle.png)
add_custom_command(
  OUTPUT ${eq_icon_png}
  COMMAND make_app_icon ${eq_packaging_src}/eqcircle.svg 256 ${eq_icon_png}
  DEPENDS make_app_icon ${eq_packaging_src}/eqcircle.svg
  COMMENT "Rendering the 256 px program icon"
  VERBATIM)

# Manual pages (English and Japanese) and changelog are installed compressed, without
# a time stamp in the gzip header so that the package is reproducible.
set(eq_compressed)
foreach(doc eqcircle.1 eqcircle.ja.1 changelog)
  add_custom_command(
    OUTPUT ${eq_packaging_bin}/${doc}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${eq_packaging_src}/${doc} ${eq_packaging_bin}/${doc}
    COMMAND gzip -9nf ${eq_packaging_bin}/${doc}
    DEPENDS ${eq_packaging_src}/${doc}
    VERBATIM)
  list(APPEND eq_compressed ${eq_packaging_bin}/${doc}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${eq_icon_png} ${eq_compressed})

set(eq_appstream_id invalid.eqcircle.eqcircle)
install(FILES ${eq_packaging_src}/eqcircle.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${eq_packaging_src}/eqcircle.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${eq_icon_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${eq_packaging_src}/${eq_appstream_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${eq_packaging_bin}/eqcircle.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${eq_packaging_bin}/eqcircle.ja.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1 RENAME eqcircle.1.gz)
install(FILES ${eq_packaging_src}/copyright ${eq_packaging_bin}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Debian package. Its library dependencies come from dpkg-shlibdeps; the font, the
# platform plugins and the SVG icon engine are loaded at run time, so they are named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME eqcircle)
set(CPACK_PACKAGE_VENDOR "eqcircle developers")
set(CPACK_PACKAGE_CONTACT "eqcircle developers <dev@eqcircle.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "earthquake circles around volcanoes on a map of Japan")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [[
地震サークル (eqcircle) reads up to ten volcanic eruptions (name, date,
latitude, longitude) and a prediction date, turns the years since each
eruption into a distance with a fixed empirical law and draws a red circle
of that radius around the volcano on a map sheet of 20-50 degrees north,
110-160 degrees east. Where the circles of several volcanoes touch or cross,
an earthquake at that date is judged more likely.
.
The user interface is Japanese. The sheet can be printed, copied to the
clipboard and saved as PNG, PDF or SVG; the volcanoes, their circles and
where the circles cross as GeoJSON or KML for other map programs; the
sheets of a range of dates as one image per date or an animated WebP.
Without a display, eqcircle render writes the same files, and the sheet's
drawing as JSON for scripts.]])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
