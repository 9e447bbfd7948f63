# Install rules and CPack settings for the whole project; included at the end
# of the top-level CMakeLists.txt, once every target exists.
#
# `cmake --install` and the Debian package (cpack -G DEB) install the same
# files: the programs into bin, and on Linux the desktop entry, the AppStream
# metadata, the icons, the manual pages and the package documents.
# The version is the project's, from project(VERSION).

include(GNUInstallDirs)

set(FP_APP_ID com.example.PoreskeGrupe)
set(FP_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(FP_PACKAGING_BINARY_DIR ${PROJECT_BINARY_DIR}/packaging)

# Directories get 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(program poreske-grupe fptool fpsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The release date of the changelog and the metadata: SOURCE_DATE_EPOCH when
# the builder sets it, else the date of the checked-out commit, else today.
function(fp_release_epoch out)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    find_package(Git QUIET)
    if(GIT_FOUND)
      execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                      RESULT_VARIABLE failed ERROR_QUIET)
      if(failed)
        set(epoch "")
      endif()
    endif()
  endif()
  if(epoch STREQUAL "")
    string(TIMESTAMP epoch "%s" UTC)
  endif()
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()

if(UNIX AND NOT APPLE)
  fp_release_epoch(epoch)
  # string(TIMESTAMP) formats SOURCE_DATE_EPOCH when it is set.
  set(saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  string(TIMESTAMP FP_RELEASE_DATE "%Y-%m-%d" UTC)
  string(TIMESTAMP FP_RELEASE_DATE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${saved_epoch}")

  configure_file(${FP_PACKAGING_DIR}/${FP_APP_ID}.metainfo.xml.in
                 ${FP_PACKAGING_BINARY_DIR}/${FP_APP_ID}.metainfo.xml @ONLY)
  configure_file(${FP_PACKAGING_DIR}/changelog.in ${FP_PACKAGING_BINARY_DIR}/changelog @ONLY)

  # Manual pages and the changelog go compressed, as Debian has them: gzip -9n
  # keeps neither a name nor a time stamp, so the result is reproducible.
  find_program(FP_GZIP gzip REQUIRED)
  set(gzipped)
  foreach(source ${FP_PACKAGING_DIR}/man/fptool.1 ${FP_PACKAGING_DIR}/man/fpsim.1
                 ${FP_PACKAGING_DIR}/man/poreske-grupe.1 ${FP_PACKAGING_BINARY_DIR}/changelog)
    get_filename_component(name ${source} NAME)
    set(output ${FP_PACKAGING_BINARY_DIR}/${name}.gz)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${FP_GZIP} -9n -c ${source} > ${output}
                       DEPENDS ${source} VERBATIM)
    list(APPEND gzipped ${output})
  endforeach()
  add_custom_target(packaging_files ALL DEPENDS ${gzipped})

  # A page only for the programs this build has.
  foreach(program poreske-grupe fptool fpsim)
    if(TARGET ${program})
      install(FILES ${FP_PACKAGING_BINARY_DIR}/${program}.1.gz
              DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endforeach()

  if(TARGET poreske-grupe)
    install(FILES ${FP_PACKAGING_DIR}/${FP_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${FP_PACKAGING_BINARY_DIR}/${FP_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${FP_PACKAGING_DIR}/icons/${FP_APP_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${FP_PACKAGING_DIR}/icons/${FP_APP_ID}-48.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
            RENAME ${FP_APP_ID}.png)
  endif()

  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${FP_PACKAGING_DIR}/copyright
                ${FP_PACKAGING_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
else()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# CPack: the Debian package. The Windows installer is made by scripts/package.sh
# with packaging/windows/poreske-grupe.nsi.
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The poreske-grupe developers")
set(CPACK_PACKAGE_CONTACT "The poreske-grupe developers <podrska@example.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.example.com/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fiscal receipt printer tool: tax groups, clock, X report")
set(CPACK_PACKAGE_DESCRIPTION
    "Poreske grupe (tax groups) talks to one fiscal receipt printer over a serial
line. It changes which of the printer's tax groups A to H are enabled and at
which rates, reads the printer's clock and prints the X report, the interim
report that does not close the day.

The package also holds fptool, which runs the same printer commands from the
command line and from scripts, and fpsim, a printer simulator for trying
everything without hardware.

To open a serial port, the user must be a member of the dialout group
(sudo usermod -aG dialout $USER), then log out and in again.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
elseif(WIN32)
  set(CPACK_GENERATOR ZIP)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
