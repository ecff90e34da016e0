# Installs the build into a fresh prefix and checks that the installed programs and data work
# from there: the CLI runs, the shipped lists sit where the program looks for them
# (<prefix>/share/reelvane/lists beside <prefix>/bin), and a new record seeds the program
# folder from the installed lists rather than from the source tree.
#
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DWORK_DIR=<scratch> [-DWITH_GUI=ON] -P InstallTest.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var BUILD_DIR SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "InstallTest: ${var} not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
set(programDir "${WORK_DIR}/program")
set(configDir "${WORK_DIR}/config")
file(MAKE_DIRECTORY "${programDir}" "${configDir}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "InstallTest: '${ARGN}' failed (${rc}):\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")

set(cli "${prefix}/bin/reelvane-cli")
set(expected "${cli}" "${prefix}/share/reelvane/lists/RATING.LST" "${prefix}/share/reelvane/lists/OSCAR.LST")
if(WITH_GUI)
  list(APPEND expected "${prefix}/bin/reelvane")
endif()
foreach(file ${expected})
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "InstallTest: ${file} not installed")
  endif()
endforeach()

# Every shipped file lands under share/reelvane in the same layout as data/.
file(GLOB_RECURSE shipped RELATIVE "${SOURCE_DIR}/data" "${SOURCE_DIR}/data/*")
foreach(file ${shipped})
  if(NOT EXISTS "${prefix}/share/reelvane/${file}")
    message(FATAL_ERROR "InstallTest: data/${file} not installed as share/reelvane/${file}")
  endif()
endforeach()

# Mark the installed rating list so seeding shows which copy the program read.
file(WRITE "${prefix}/share/reelvane/lists/RATING.LST" "Installed Marker\r\n")

set(db "${WORK_DIR}/data/VIDEO.DBF")
file(MAKE_DIRECTORY "${WORK_DIR}/data")
set(env ${CMAKE_COMMAND} -E env "REELVANE_PROGRAM_DIR=${programDir}" "REELVANE_CONFIG_DIR=${configDir}")
run(${env} "${cli}" --help)
run(${env} "${cli}" create "${db}")
run(${env} "${cli}" check "${db}")
run(${env} "${cli}" add "${db}" "Title=Installed")
string(STRIP "${run_output}" recNo)
if(NOT recNo STREQUAL "1")
  message(FATAL_ERROR "InstallTest: add printed '${run_output}', expected 1")
endif()

file(GLOB seeded RELATIVE "${programDir}" "${programDir}/*")
string(TOUPPER "${seeded}" seededUpper)
if(NOT "RATING.LST" IN_LIST seededUpper)
  message(FATAL_ERROR "InstallTest: the program folder was not seeded (holds: ${seeded})")
endif()
file(GLOB rating "${programDir}/[Rr][Aa][Tt][Ii][Nn][Gg].[Ll][Ss][Tt]")
file(READ "${rating}" ratingText)
if(NOT ratingText MATCHES "Installed Marker")
  message(FATAL_ERROR "InstallTest: the program folder was seeded from elsewhere than the installed lists:\n${ratingText}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
