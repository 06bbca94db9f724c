# What `cmake --install` puts under the prefix: the programs in bin/, their
# data in share/ekoto/ (where BundledFilePath finds it from bin/), the desktop
# entry, the icons and the manual pages in the usual XDG and man places.
include(GNUInstallDirs)

install(TARGETS ekoto-say ekoto-pa RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
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

install(FILES ${CMAKE_SOURCE_DIR}/data/man/ekoto-say.1 ${CMAKE_SOURCE_DIR}/data/man/ekoto-pa.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The speech-dispatcher module, where Debian's server looks for modules when
# the prefix is /usr (other prefixes: name it with AddModule, see README). It
# finds the voice and template in <prefix>/share/ekoto from there.
install(TARGETS sd_ekoto RUNTIME DESTINATION lib/speech-dispatcher-modules)
