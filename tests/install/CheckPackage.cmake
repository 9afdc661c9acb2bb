# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# Builds the Debian package the way `make package` does, in WORK_DIR, with a
# maintainer of its own, and has lintian judge it: no error, no warning, and
# none of its hardening remarks (those are only informational to lintian,
# but the program is meant to carry every hardening flag). Is skipped when
# lintian or the packaging tools are missing.
foreach(tool lintian dpkg-deb dpkg-shlibdeps)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message("${tool} is missing: skipped")
    return()  # the test's SKIP_REGULAR_EXPRESSION sees ": skipped"
  endif()
endforeach()

set(maintainer "Test Packager <test.packager@example.org>")
execute_process(COMMAND ${CMAKE_COMMAND} -E env JOBS=2
                        "${SOURCE_DIR}/scripts/build-package.sh" "${WORK_DIR}" "-DTAVEL_MAINTAINER=${maintainer}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building the package failed:\n${out}")
endif()
file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${WORK_DIR}, found: ${debs}")
endif()

# The maintainer given at package time is the one in the control file and in
# the changelog's signature.
execute_process(COMMAND ${found_dpkg-deb} --field ${debs} Maintainer OUTPUT_VARIABLE field
                OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT field STREQUAL maintainer)
  message(FATAL_ERROR "Maintainer is \"${field}\", not \"${maintainer}\"")
endif()
file(REMOVE_RECURSE "${WORK_DIR}/contents")
execute_process(COMMAND ${found_dpkg-deb} --extract ${debs} "${WORK_DIR}/contents")
execute_process(COMMAND gzip -dc "${WORK_DIR}/contents/usr/share/doc/tavel/changelog.gz" OUTPUT_VARIABLE changelog)
string(FIND "${changelog}" " -- ${maintainer}  " at)
if(at LESS 0)
  message(FATAL_ERROR "the changelog is not signed by ${maintainer}:\n${changelog}")
endif()

execute_process(COMMAND ${found_lintian} --fail-on error,warning --display-info ${debs}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}")
if(NOT status EQUAL 0 OR out MATCHES "(^|\n)[EW]: " OR out MATCHES "hardening-")
  message(FATAL_ERROR "lintian (status ${status}) finds fault with the package:\n${out}${err}")
endif()
