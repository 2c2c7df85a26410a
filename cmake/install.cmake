# Installing with the GNU layout: programs in bin/, the helper libraries in a private folder
# under the library folder, language files, icons, desktop entry, metainfo, manuals and shell
# completion under share/. The program finds its helper libraries and language files from its
# own folder (helpers/program_path.cpp), so the build tree and an installed tree both work.
include(GNUInstallDirs)

set(TAVRIN_INSTALL_HELPERDIR ${CMAKE_INSTALL_LIBDIR}/tavrin)
set(TAVRIN_INSTALL_LANGDIR ${CMAKE_INSTALL_DATADIR}/tavrin/lang)
set(TAVRIN_INSTALL_FULL_HELPERDIR ${CMAKE_INSTALL_FULL_LIBDIR}/tavrin)
set(TAVRIN_INSTALL_FULL_LANGDIR ${CMAKE_INSTALL_FULL_DATADIR}/tavrin/lang)
file(RELATIVE_PATH TAVRIN_HELPER_DIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
  ${TAVRIN_INSTALL_FULL_HELPERDIR})
file(RELATIVE_PATH TAVRIN_LANG_DIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
  ${TAVRIN_INSTALL_FULL_LANGDIR})
configure_file(${CMAKE_SOURCE_DIR}/cmake/tavrin_install_dirs.h.in
  ${CMAKE_BINARY_DIR}/generated/tavrin_install_dirs.h @ONLY)

# Debian's zsh reads vendor-completions; other systems site-functions.
set(TAVRIN_ZSH_COMPLETION_DIR ${CMAKE_INSTALL_DATADIR}/zsh/site-functions
  CACHE STRING "Folder for the zsh completion function, relative to the prefix")
set(TAVRIN_APP_ID example.tavrin.SystemInformation)

# --- The command line and what it needs (no Qt) -------------------------------------------
install(TARGETS tavrin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS helper Localizer RepLibrary LIBRARY DESTINATION ${TAVRIN_INSTALL_HELPERDIR})
install(FILES ${TAVRIN_LANG_FILES} DESTINATION ${TAVRIN_INSTALL_LANGDIR})
install(FILES ${CMAKE_SOURCE_DIR}/man/tavrin-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/completions/tavrin-cli.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tavrin-cli)
install(FILES ${CMAKE_SOURCE_DIR}/completions/_tavrin-cli DESTINATION ${TAVRIN_ZSH_COMPLETION_DIR})
# The inventory helper for Ansible's facts.d (docs/fleet.md).
install(PROGRAMS ${CMAKE_SOURCE_DIR}/docs/tavrin.fact DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tavrin)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/fleet.md
  ${CMAKE_SOURCE_DIR}/docs/snapshot.md ${CMAKE_SOURCE_DIR}/docs/report-json.md
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- The window program --------------------------------------------------------------------
if(TAVRIN_GUI)
  install(TARGETS tavrin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS commonforms settings LIBRARY DESTINATION ${TAVRIN_INSTALL_HELPERDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/man/tavrin.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${TAVRIN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/${TAVRIN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
