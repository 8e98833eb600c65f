# Fails when a translation no longer covers its application's sources: a
# message without its translation, one whose source text is gone, or one
# that lupdate could not place in the context it is looked up in.
#
#   cmake -DLUPDATE=... -DTS_FILE=... -DSOURCES=dir;dir -DWORK_DIR=... -P check_translations.cmake
#
# lupdate merges the sources into a copy of the shipped file, as a
# translator's update would; the shipped file itself is left alone.

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(name "${TS_FILE}" NAME)
set(merged "${WORK_DIR}/${name}")
file(COPY_FILE "${TS_FILE}" "${merged}")

execute_process(
  COMMAND "${LUPDATE}" -locations none -extensions cpp,h ${SOURCES} -ts "${merged}"
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()

set(problems "")
# lupdate's complaints about a source line, such as tr() in a class without
# Q_OBJECT: its message would be filed under a context nobody looks up.
string(REGEX MATCHALL "[^\n]*:[0-9]+: [^\n]*" complaints "${output}")
foreach(complaint IN LISTS complaints)
  string(APPEND problems "  ${complaint}\n")
endforeach()

file(READ "${merged}" rest)
while(TRUE)
  string(FIND "${rest}" "</message>" end)
  if(end EQUAL -1)
    break()
  endif()
  string(SUBSTRING "${rest}" 0 ${end} message)
  math(EXPR next "${end} + 10")
  string(SUBSTRING "${rest}" ${next} -1 rest)

  set(state "")
  if(message MATCHES "type=\"(unfinished|vanished|obsolete)\"")
    set(state "${CMAKE_MATCH_1}")
  elseif(message MATCHES "<translation/>|<translation></translation>|<numerusform></numerusform>|<numerusform/>")
    set(state "empty")
  endif()
  if(state)
    string(REGEX MATCH "<source>([^<]*)</source>" source "${message}")
    string(APPEND problems "  ${state}: ${CMAKE_MATCH_1}\n")
  endif()
endwhile()

if(problems)
  message(FATAL_ERROR "${name} does not match the sources; update it with the "
    "update_translations target and translate what it marks unfinished:\n${problems}")
endif()
