# SPDX-License-Identifier: GPL-3.0-or-later
cmake_minimum_required(VERSION 3.25)
# The manual page and `tavel --help` name the same options, and, where man
# is installed, the page formats without a warning (as lintian checks it).
execute_process(COMMAND ${PROGRAM} --help RESULT_VARIABLE status OUTPUT_VARIABLE help)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "tavel --help failed: ${status}")
endif()
file(READ "${MAN_PAGE}" page)
string(REGEX MATCHALL "--[a-z][a-z-]*" help_options "${help}")
# In the page's source every "-" of an option is written "\-".
string(REGEX MATCHALL "\\\\-\\\\-[a-z][a-z\\\\-]*" page_options "${page}")
list(TRANSFORM page_options REPLACE "\\\\-" "-")
list(REMOVE_DUPLICATES help_options)
list(REMOVE_DUPLICATES page_options)
list(SORT help_options)
list(SORT page_options)
if(NOT help_options STREQUAL page_options)
  message(FATAL_ERROR "tavel --help names ${help_options}\nbut the manual page names ${page_options}")
endif()

find_program(MAN man)
if(MAN)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANROFFSEQ= MANWIDTH=80
                          ${MAN} --warnings -E UTF-8 -l -Tutf8 -Z "${MAN_PAGE}"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "man finds fault with the page (${status}):\n${warnings}")
  endif()
endif()
