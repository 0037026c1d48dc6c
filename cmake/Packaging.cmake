# `cmake --install` and `make package`: the installation as a Debian system expects it.
#
#   bin/corvella, bin/hollin, bin/corvadm   relative links to the programs
#   lib/corvella/                           the programs, their folder configuration
#                                           CorvNPath.ini, links to the language files
#   share/corvella/                         the root folder, read only: a copy of install/
#   share/applications, share/metainfo,     desktop entries, AppStream metainfo, icons,
#   share/icons/hicolor, share/man/man1     man pages
#   share/doc/corvella                      copyright and changelog
#
# The programs read "CorvNPath.ini" and the language files beside themselves, and the
# folder configuration names the root by a relative path, so an installation (or an
# unpacked package) works wherever it lies. The users' data go to $XDG_DATA_HOME/Corvella10.
# Included after every program's folder, so that hollin is installed once it exists.
include(GNUInstallDirs)

set(CORV_PROGRAM_DIR lib/corvella)
set(CORV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/corvella)
set(CORV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CORV_STAGE ${CMAKE_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(corv_programs corvella corvadm)
if(TARGET hollin)
  list(APPEND corv_programs hollin)
endif()

# --- Programs and their folder ---
install(TARGETS ${corv_programs} RUNTIME DESTINATION ${CORV_PROGRAM_DIR})
file(RELATIVE_PATH corv_data_from_programs
  /prefix/${CORV_PROGRAM_DIR} /prefix/${CORV_DATA_DIR})
file(RELATIVE_PATH corv_programs_from_bin
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CORV_PROGRAM_DIR})
file(READ ${CORV_PACKAGING_DIR}/CorvNPath.ini corv_npath)
string(REPLACE "DataPath=../../share/corvella" "DataPath=${corv_data_from_programs}"
  corv_npath "${corv_npath}")
file(WRITE ${CORV_STAGE}/programs/CorvNPath.ini "${corv_npath}")
install(FILES ${CORV_STAGE}/programs/CorvNPath.ini DESTINATION ${CORV_PROGRAM_DIR})

# Relative links, made at configure time and installed as links.
file(MAKE_DIRECTORY ${CORV_STAGE}/bin ${CORV_STAGE}/programs)
foreach(program IN LISTS corv_programs)
  file(CREATE_LINK ${corv_programs_from_bin}/${program} ${CORV_STAGE}/bin/${program} SYMBOLIC)
  install(FILES ${CORV_STAGE}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
file(GLOB corv_language_files RELATIVE ${PROJECT_SOURCE_DIR}/install
  ${PROJECT_SOURCE_DIR}/install/language.* ${PROJECT_SOURCE_DIR}/install/CorvLangs.ini)
foreach(file IN LISTS corv_language_files)
  file(CREATE_LINK ${corv_data_from_programs}/${file} ${CORV_STAGE}/programs/${file} SYMBOLIC)
  install(FILES ${CORV_STAGE}/programs/${file} DESTINATION ${CORV_PROGRAM_DIR})
endforeach()

# --- The root folder ---
install(DIRECTORY ${PROJECT_SOURCE_DIR}/install/ DESTINATION ${CORV_DATA_DIR}
  PATTERN __pycache__ EXCLUDE
  PATTERN Database EXCLUDE
  PATTERN .corvshare EXCLUDE)

# --- Desktop integration ---
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(GZIP gzip REQUIRED)
file(GLOB corv_icon_sources ${CORV_PACKAGING_DIR}/icons/*.svg)
set(corv_icons)
foreach(svg IN LISTS corv_icon_sources)
  get_filename_component(name ${svg} NAME_WE)
  list(APPEND corv_icons ${CORV_STAGE}/icons/hicolor/scalable/apps/${name}.svg)
  foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND corv_icons ${CORV_STAGE}/icons/hicolor/${size}x${size}/apps/${name}.png)
  endforeach()
endforeach()
add_custom_command(OUTPUT ${corv_icons}
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-icons ${CORV_STAGE}/icons ${corv_icon_sources}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-icons ${corv_icon_sources}
  COMMENT "Program icons"
  VERBATIM)

set(corv_pages corvella corvadm)
if(TARGET hollin)
  list(APPEND corv_pages hollin)
endif()
set(corv_manuals)
foreach(page IN LISTS corv_pages)
  set(out ${CORV_STAGE}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CORV_STAGE}/man
    COMMAND ${GZIP} -9n -c ${CORV_PACKAGING_DIR}/man/${page}.1 > ${out}
    DEPENDS ${CORV_PACKAGING_DIR}/man/${page}.1
    VERBATIM)
  list(APPEND corv_manuals ${out})
endforeach()
add_custom_target(corv_desktop_files ALL DEPENDS ${corv_icons} ${corv_manuals})

foreach(program IN LISTS corv_programs)
  if(EXISTS ${CORV_PACKAGING_DIR}/${program}.desktop)
    install(FILES ${CORV_PACKAGING_DIR}/${program}.desktop
      DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(icon IN LISTS corv_icons)
      if(icon MATCHES "/hicolor/([^/]+)/apps/${program}\\.")
        install(FILES ${icon}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${CMAKE_MATCH_1}/apps)
      endif()
    endforeach()
  endif()
endforeach()
install(FILES ${CORV_PACKAGING_DIR}/example.corvella.Corvella.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${corv_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
set(CORV_MAINTAINER "The Corvella developers <maintainers@corvella.example>")
add_custom_target(corv_package_docs ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUTPUT_DIR=${CORV_STAGE}/doc
    -DVERSION=${PROJECT_VERSION} -DMAINTAINER=${CORV_MAINTAINER} -DGZIP=${GZIP}
    -P ${PROJECT_SOURCE_DIR}/cmake/WritePackageDocs.cmake
  BYPRODUCTS ${CORV_STAGE}/doc/changelog.gz ${CORV_STAGE}/doc/copyright
  VERBATIM)
install(FILES ${CORV_STAGE}/doc/changelog.gz ${CORV_STAGE}/doc/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvella)

# Everything the installation holds, for `make package` (which builds no tests).
add_custom_target(corv_install_parts)
add_dependencies(corv_install_parts ${corv_programs} corv_desktop_files corv_package_docs)

# --- The Debian package ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvella)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Corvella developers")
set(CPACK_PACKAGE_CONTACT ${CORV_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "touch-typing tutor with a background typing meter")
# The synopsis is the summary; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Corvella teaches touch typing with courses of lessons, key and word drills,
text exercises and exams, timed typing tests with diplomas, typing games with
top-ten lists, statistics and printable reports, and review lessons built
from the keys and words a learner finds hard.

The typing meter hollin runs in the background, measures typing in other
applications, reminds the user to rest and sends them to the tutor to train.
corvadm administers an installation's settings, users, layouts and courses.")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvella.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Help pages open in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CORV_PACKAGING_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

if(CORV_TESTS)
  foreach(tool desktop-file-validate appstreamcli man lintian dpkg-deb dpkg-shlibdeps file)
    find_program(corv_tool_${tool} ${tool})
    if(NOT corv_tool_${tool})
      message(FATAL_ERROR "The packaging tests need ${tool}: run scripts/bootstrap.")
    endif()
  endforeach()
  set(checks ${CORV_PACKAGING_DIR}/tests)
  add_test(NAME Packaging.DesktopEntriesAndMetainfoValidate
    COMMAND ${checks}/check-desktop-files ${CORV_PACKAGING_DIR})
  add_test(NAME Packaging.ManPagesRenderWithoutWarnings
    COMMAND ${checks}/check-man-pages ${CORV_PACKAGING_DIR}/man/corvella.1
      ${CORV_PACKAGING_DIR}/man/hollin.1 ${CORV_PACKAGING_DIR}/man/corvadm.1)
  # About a minute: CPack, lintian, then the unpacked programs.
  add_test(NAME Packaging.DebianPackageInstallsAndRuns
    COMMAND ${checks}/check-package ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(Packaging.DebianPackageInstallsAndRuns PROPERTIES TIMEOUT 1200)
endif()
