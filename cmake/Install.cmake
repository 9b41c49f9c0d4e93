# A normal installation: the two programs in bin/, what they share (help file,
# demo kit, instruction texts) in share/kalvestrin/, and what a desktop needs
# (entry, icon, AppStream metadata, manual pages). The program finds its shared
# files relative to its own binary, so the tree works under any prefix.
include(GNUInstallDirs)

set(stage ${CMAKE_BINARY_DIR}/package)
set(desktop_src ${CMAKE_SOURCE_DIR}/resources/desktop)
set(app_id hr.kalvestrin.Kalvestrin)

# The demo kit as kalvestrin-tool writes it; the program copies it into a
# user's data folder and points its design at the copies.
add_custom_command(
  OUTPUT ${stage}/primjer/primjer.txt
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}/primjer
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:kalvestrin-tool> demo ${stage}/primjer
  DEPENDS kalvestrin-tool
  COMMENT "Writing the demo kit for the installation"
  VERBATIM)

add_custom_command(
  OUTPUT ${stage}/icons/256x256/apps/kalvestrin.png
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:kalvestrin-icongen> ${stage}/icons
  DEPENDS kalvestrin-icongen
  COMMENT "Drawing the program's icon"
  VERBATIM)

configure_file(${desktop_src}/${app_id}.metainfo.xml ${stage}/${app_id}.metainfo.xml @ONLY)
configure_file(${desktop_src}/kalvestrin.1 ${stage}/kalvestrin.1 @ONLY)
configure_file(${desktop_src}/changelog.in ${stage}/changelog @ONLY)

# Manual pages and the changelog go compressed, as Debian keeps them.
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
set(compressed ${stage}/kalvestrin.1.gz ${stage}/changelog.gz)
add_custom_command(
  OUTPUT ${compressed}
  COMMAND ${GZIP} -9nf -k ${stage}/kalvestrin.1 ${stage}/changelog
  DEPENDS ${stage}/kalvestrin.1 ${stage}/changelog
  VERBATIM)
if(HELP2MAN)
  add_custom_command(
    OUTPUT ${stage}/kalvestrin-tool.1.gz
    COMMAND ${HELP2MAN} --no-info --section=1 --name "the headless companion of Kalvestrin"
            --output=${stage}/kalvestrin-tool.1 $<TARGET_FILE:kalvestrin-tool>
    COMMAND ${GZIP} -9nf ${stage}/kalvestrin-tool.1
    DEPENDS kalvestrin-tool
    COMMENT "Writing the manual page of kalvestrin-tool from its own help"
    VERBATIM)
  list(APPEND compressed ${stage}/kalvestrin-tool.1.gz)
endif()

add_custom_target(kalvestrin_install_files ALL
  DEPENDS ${stage}/primjer/primjer.txt ${stage}/icons/256x256/apps/kalvestrin.png ${compressed})

install(FILES ${KALVESTRIN_HELP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvestrin)
install(FILES ${CMAKE_SOURCE_DIR}/resources/instructions/instruction1.txt
              ${CMAKE_SOURCE_DIR}/resources/instructions/instruction2.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvestrin/instructions)
install(DIRECTORY ${stage}/primjer DESTINATION ${CMAKE_INSTALL_DATADIR}/kalvestrin)
install(DIRECTORY ${stage}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${desktop_src}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${stage}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${stage}/kalvestrin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(HELP2MAN)
  install(FILES ${stage}/kalvestrin-tool.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${desktop_src}/copyright ${stage}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalvestrin)
