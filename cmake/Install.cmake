# What `cmake --install` puts under the prefix: the programs in bin/, their
# data in share/ekoto/ (where BundledFilePath finds it from bin/), the desktop
# entry, the icons and the manual pages in the usual XDG and man places.
include(GNUInstallDirs)

install(TARGETS ekoto-say ekoto-pa ekoto-score RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET ekoto)
  install(TARGETS ekoto RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/data/50on.pa)
  install(FILES ${CMAKE_SOURCE_DIR}/data/50on.pa DESTINATION ${CMAKE_INSTALL_DATADIR}/ekoto)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/data/templete.txt DESTINATION ${CMAKE_INSTALL_DATADIR}/ekoto)

install(FILES ${CMAKE_SOURCE_DIR}/data/ekoto.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/ekoto.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/${size}/ekoto.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The software centres' description; its newest release is the project's version.
set(EKOTO_METAINFO ${CMAKE_SOURCE_DIR}/data/org.example.ekoto.metainfo.xml)
file(READ ${EKOTO_METAINFO} EKOTO_METAINFO_TEXT)
string(REGEX MATCH "<release version=\"([^\"]*)\"" EKOTO_METAINFO_RELEASE "${EKOTO_METAINFO_TEXT}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${EKOTO_METAINFO}: the newest release is \"${CMAKE_MATCH_1}\", debian/changelog says ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${EKOTO_METAINFO})
install(FILES ${EKOTO_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, with the version filled in.
foreach(page ekoto ekoto-say ekoto-pa ekoto-score)
  configure_file(${CMAKE_SOURCE_DIR}/data/man/${page}.1 ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The speech-dispatcher module, where Debian's server looks for modules when
# the prefix is /usr (other prefixes: name it with AddModule, see README). It
# finds the voice and template in <prefix>/share/ekoto from there.
install(TARGETS sd_ekoto RUNTIME DESTINATION lib/speech-dispatcher-modules)
# Its settings, where the server looks for a module's configuration: /etc
# when SYSCONFDIR is /etc (Debian's packages), <prefix>/etc otherwise.
install(FILES ${CMAKE_SOURCE_DIR}/data/speechd/ekoto.conf
        DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/speech-dispatcher/modules)
