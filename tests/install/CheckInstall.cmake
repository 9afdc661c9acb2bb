# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Installs the build in BUILD_DIR under /usr into a scratch DESTDIR and checks
# the tree: the program, its shared files, the desktop entry, file types,
# icons and AppStream data. With VALIDATE set it runs the freedesktop
# validators on them instead, and is skipped when one is missing.
set(root "${WORK_DIR}/install-root")
file(REMOVE_RECURSE "${root}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root} ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(usr "${root}/usr")

if(NOT VALIDATE)
  set(expected
      bin/tavel
      share/tavel/ReadMe.txt
      share/tavel/animations/walk.tvl
      "share/tavel/stick figures/dog.stk"
      share/applications/org.tavel.Tavel.desktop
      share/metainfo/org.tavel.Tavel.metainfo.xml
      share/mime/packages/org.tavel.Tavel.xml
      share/icons/hicolor/scalable/apps/org.tavel.Tavel.svg
      share/icons/hicolor/48x48/apps/org.tavel.Tavel.png
      share/icons/hicolor/256x256/apps/org.tavel.Tavel.png
      share/icons/hicolor/scalable/mimetypes/application-x-tavel-project.svg
      share/icons/hicolor/32x32/mimetypes/application-x-tavel-figure.png
      share/man/man1/tavel.1.gz
      share/doc/tavel/copyright
      share/doc/tavel/changelog.gz)
  foreach(file IN LISTS expected)
    if(NOT EXISTS "${usr}/${file}")
      message(FATAL_ERROR "not installed: ${file}")
    endif()
  endforeach()
  file(READ "${usr}/share/applications/org.tavel.Tavel.desktop" desktop)
  foreach(line "Exec=tavel %f" "MimeType=application/x-tavel-project;application/x-tavel-figure;" "Icon=org.tavel.Tavel")
    string(FIND "${desktop}" "${line}" at)
    if(at LESS 0)
      message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
  endforeach()
  # Nothing lands outside the prefix.
  file(GLOB top RELATIVE "${root}" "${root}/*")
  if(NOT top STREQUAL "usr")
    message(FATAL_ERROR "installed outside /usr: ${top}")
  endif()
  return()
endif()

foreach(tool desktop-file-validate appstreamcli xmllint update-mime-database)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message("${tool} is missing: skipped")
    return()  # the test's SKIP_REGULAR_EXPRESSION sees ": skipped"
  endif()
endforeach()
macro(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR out MATCHES "[Ee]rror")
    message(FATAL_ERROR "${ARGN}:\n${out}")
  endif()
endmacro()
run(${found_desktop-file-validate} "${usr}/share/applications/org.tavel.Tavel.desktop")
run(${found_appstreamcli} validate --no-net "${usr}/share/metainfo/org.tavel.Tavel.metainfo.xml")
run(${found_xmllint} --noout "${usr}/share/mime/packages/org.tavel.Tavel.xml")
# The MIME database builds from our file and knows both types.
run(${found_update-mime-database} "${usr}/share/mime")
file(READ "${usr}/share/mime/types" types)
if(NOT types MATCHES "application/x-tavel-project" OR NOT types MATCHES "application/x-tavel-figure")
  message(FATAL_ERROR "the MIME database lacks our types:\n${types}")
endif()
