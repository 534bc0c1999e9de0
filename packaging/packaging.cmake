# What an installed show carries beside its programs, and the Debian package made of it all:
# the copyright file, the changelog, the manuals (from the programs' own --help), the desktop
# entry, the icons (from the show's own picture) and the AppStream metadata.
set(QUENRASTILAN_SUMMARY "real-time audiovisual demo of thirteen mathematical scenes")
# The package's description and the metainfo's, in lines short enough for Debian's control file.
set(QUENRASTILAN_DESCRIPTION
  "Quenrastilan is a show of just over four minutes in which thirteen
mathematical scenes are drawn one after another in real time while an
original tracker soundtrack plays: typed credits, spinning Platonic
solids, a potential field, a Newton fractal, the Lorenz and Rossler
attractors, a diffusion-limited aggregate, cells, growing curves,
particle flows, Fibonacci trees and iterated-map clouds, in black
translucent geometry on white with touches of red and blue. The 4:3
picture is drawn sharp at any size with OpenGL, full screen or in a
window, and the player pauses and jumps like a video player.

The package also holds quenrastilan-capture, which renders the show
headless into stills, numbered frames, video files with the music, a
lossless master, a contact sheet or the soundtrack alone.")

set(pkg ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg})
string(ASCII 31 SEMICOLON)
string(REGEX MATCH "^([^<]*[^< ]) *<([^>]*)>$" maintainer_ok "${QUENRASTILAN_MAINTAINER}")
if(NOT maintainer_ok)
  message(FATAL_ERROR "QUENRASTILAN_MAINTAINER is \"Name <address>\", not \"${QUENRASTILAN_MAINTAINER}\"")
endif()
if(NOT QUENRASTILAN_HOMEPAGE MATCHES "^https://[^/]+/(.*/)?$")
  message(FATAL_ERROR "QUENRASTILAN_HOMEPAGE is an https:// address ending in /, not \"${QUENRASTILAN_HOMEPAGE}\"")
endif()

# Words of TEXT as lines of at most WIDTH characters, the first after FIRST, the others after
# NEXT, into OUT.
function(quenrastilan_wrap out text width first next)
  string(REPLACE " " ";" words "${text}")
  set(result "")
  set(line "${first}")
  set(empty TRUE)
  foreach(word IN LISTS words)
    string(LENGTH "${line} ${word}" length)
    if(NOT empty AND length GREATER width)
      string(APPEND result "${line}\n")
      set(line "${next}${word}")
    elseif(empty)
      set(line "${line}${word}")
    else()
      set(line "${line} ${word}")
    endif()
    set(empty FALSE)
  endforeach()
  set(${out} "${result}${line}\n" PARENT_SCOPE)
endfunction()

# A date YYYY-MM-DD as the changelog writes it: "Tue, 08 Dec 2026 00:00:00 +0000".
function(quenrastilan_rfc2822 out date)
  string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" ignored "${date}")
  set(y ${CMAKE_MATCH_1})
  math(EXPR m "${CMAKE_MATCH_2} + 0")
  set(d ${CMAKE_MATCH_3})
  # Sakamoto's day of the week, 0 for Sunday.
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR index "${m} - 1")
  list(GET offsets ${index} offset)
  set(yy ${y})
  if(m LESS 3)
    math(EXPR yy "${y} - 1")
  endif()
  math(EXPR weekday "(${yy} + ${yy} / 4 - ${yy} / 100 + ${yy} / 400 + ${offset} + ${d}) % 7")
  set(days Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET days ${weekday} day)
  list(GET months ${index} month)
  set(${out} "${day}, ${d} ${month} ${y} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# The Debian changelog and the AppStream releases, both from CHANGELOG.md.
string(REPLACE "\n" ";" entries "${QUENRASTILAN_CHANGES}")
set(debian_changelog "")
set(releases "")
foreach(entry IN LISTS entries)
  if(NOT entry)
    continue()
  endif()
  string(REPLACE "|" ";" fields "${entry}")
  list(POP_FRONT fields version date)
  string(APPEND debian_changelog "quenrastilan (${version}) unstable; urgency=medium\n\n")
  string(APPEND releases "    <release version=\"${version}\" date=\"${date}\">\n"
                         "      <description>\n        <ul>\n")
  foreach(item IN LISTS fields)
    quenrastilan_wrap(wrapped "${item}" 78 "  * " "    ")
    string(APPEND debian_changelog "${wrapped}")
    string(REPLACE "&" "&amp;" item "${item}")
    string(REPLACE "<" "&lt;" item "${item}")
    string(REPLACE ">" "&gt;" item "${item}")
    string(APPEND releases "          <li>${item}</li>\n")
  endforeach()
  quenrastilan_rfc2822(when ${date})
  string(APPEND debian_changelog "\n -- ${QUENRASTILAN_MAINTAINER}  ${when}\n\n")
  string(APPEND releases "        </ul>\n      </description>\n    </release>\n")
endforeach()
string(REGEX REPLACE "\n\n$" "\n" debian_changelog "${debian_changelog}")
string(REPLACE "${SEMICOLON}" ";" debian_changelog "${debian_changelog}")
string(REPLACE "${SEMICOLON}" ";" releases "${releases}")
file(WRITE ${pkg}/changelog "${debian_changelog}")

# The copyright file (Debian's machine-readable format), the licences' texts from LICENSE and
# LICENSE-DejaVu, each line indented and blank lines as " .".
function(quenrastilan_license_text out file)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} text)
  string(FIND "${text}" "Permission is hereby granted" start)
  string(SUBSTRING "${text}" ${start} -1 text)
  # LICENSE goes on past the licence to say what it covers: the licence ends at "SOFTWARE.".
  string(FIND "${text}" "DEALINGS IN THE\nSOFTWARE." end)
  if(end GREATER -1)
    math(EXPR end "${end} + 25")
    string(SUBSTRING "${text}" 0 ${end} text)
  endif()
  string(STRIP "${text}" text)
  string(REPLACE "\n\n" "\n.\n" text "${text}")
  string(REPLACE "\n" "\n " text "${text}")
  set(${out} " ${text}" PARENT_SCOPE)
endfunction()
quenrastilan_license_text(MIT_TEXT ${CMAKE_SOURCE_DIR}/LICENSE)
quenrastilan_license_text(VERA_TEXT ${CMAKE_SOURCE_DIR}/LICENSE-DejaVu)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${pkg}/copyright @ONLY)

string(REPLACE "\n\n" "</p>\n    <p>" description_xml "${QUENRASTILAN_DESCRIPTION}")
string(REPLACE "\n" " " description_xml "${description_xml}")
string(REPLACE "</p> " "</p>\n" description_xml "${description_xml}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/quenrastilan.desktop.in
  ${pkg}/${QUENRASTILAN_APP_ID}.desktop @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quenrastilan.metainfo.xml.in
  ${pkg}/${QUENRASTILAN_APP_ID}.metainfo.xml @ONLY)

# The sanitizer build makes no package.
if(QUENRASTILAN_SANITIZE)
  return()
endif()

# Files compressed as Debian wants them: gzip at its best, without a name or a time.
add_custom_command(OUTPUT ${pkg}/changelog.gz
  COMMAND gzip -9nkf ${pkg}/changelog
  DEPENDS ${pkg}/changelog VERBATIM)

# The manuals, written from each program's --help as built by quenrastilan-manpage (tools/): the
# show in section 6 (games and demos), the capture tool in section 1.
set(QUENRASTILAN_SOURCE_NAME "Quenrastilan ${PROJECT_VERSION}")
function(quenrastilan_manual target section summary see_also)
  set(page ${pkg}/${target}.${section})
  add_custom_command(OUTPUT ${page} ${page}.gz
    COMMAND quenrastilan-manpage $<TARGET_FILE:${target}> ${section} ${QUENRASTILAN_DATE}
            ${QUENRASTILAN_SOURCE_NAME} ${summary} ${page} ${see_also}
    COMMAND gzip -9nkf ${page}
    DEPENDS quenrastilan-manpage ${target}
    COMMENT "Writing the manual ${target}(${section}) from its --help" VERBATIM)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  set(manuals ${manuals} ${page} ${page}.gz PARENT_SCOPE)
endfunction()
set(manuals "")
quenrastilan_manual(quenrastilan 6 "${QUENRASTILAN_SUMMARY}" quenrastilan-capture.1)
if(QUENRASTILAN_TOOLS)
  quenrastilan_manual(quenrastilan-capture 1 "render the Quenrastilan show to stills, video and sound"
    quenrastilan.6)
endif()
add_custom_target(packaging-files ALL DEPENDS ${manuals} ${pkg}/changelog.gz)

install(FILES ${pkg}/copyright ${pkg}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The icons: a square of the potential field at 53 s drawn by the capture tool, in the theme's
# sizes, and the web page's (scripts/build-web takes them from here).
find_program(QUENRASTILAN_FFMPEG ffmpeg)
if(QUENRASTILAN_TOOLS AND QUENRASTILAN_FFMPEG)
  set(QUENRASTILAN_ICON_SIZES 16 22 24 32 48 64 128 192 256 512)
  set(icons ${CMAKE_BINARY_DIR}/icons)
  set(icon_files ${icons}/favicon.ico ${icons}/apple-touch-icon.png)
  foreach(size ${QUENRASTILAN_ICON_SIZES})
    list(APPEND icon_files ${icons}/hicolor/${size}x${size}/apps/quenrastilan.png)
    install(FILES ${icons}/hicolor/${size}x${size}/apps/quenrastilan.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  add_custom_command(OUTPUT ${icon_files}
    COMMAND ${CMAKE_COMMAND} -DCAPTURE=$<TARGET_FILE:quenrastilan-capture> -DFFMPEG=${QUENRASTILAN_FFMPEG}
            "-DSIZES=${QUENRASTILAN_ICON_SIZES}" -DOUT=${icons} -P ${CMAKE_CURRENT_LIST_DIR}/icons.cmake
    DEPENDS quenrastilan-capture ${CMAKE_CURRENT_LIST_DIR}/icons.cmake
    COMMENT "Drawing the icons" VERBATIM)
  add_custom_target(icons ALL DEPENDS ${icon_files})
  install(FILES ${pkg}/${QUENRASTILAN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${pkg}/${QUENRASTILAN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
else()
  message(STATUS "No capture tool or ffmpeg: no icons, so no desktop entry or metainfo either "
                 "(scripts/install-deps tools installs them)")
endif()

# The Debian package: cmake --build build --target package. Its files get the mtime of
# SOURCE_DATE_EPOCH when that is set, so that the same sources give the same package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quenrastilan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${QUENRASTILAN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${QUENRASTILAN_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${QUENRASTILAN_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUENRASTILAN_HOMEPAGE}")
# A show to watch, not a game to play: Debian's games section is for games (and their programs go
# in /usr/games); the show plays picture and sound like a film and its tool makes video files.
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The libraries' own packages bring Mesa's drivers (libglx0 and libegl1 depend on them); ffmpeg
# is for the capture tool's video alone.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
