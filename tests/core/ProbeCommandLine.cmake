# Runs "pellucine --probe-private-capture" with Application Support in a scratch folder: without
# the diagnostics folder it must fail and create nothing; with it, it must write the report.
# -DPROGRAM=<the program> -DSCRATCH=<an empty folder to use>
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/data)
set(ENV{XDG_DATA_HOME} ${SCRATCH}/data)
set(ENV{HOME} ${SCRATCH})
set(report ${SCRATCH}/data/pellucine/diagnostics/private-capture-probe.txt)

execute_process(COMMAND ${PROGRAM} --probe-private-capture
  RESULT_VARIABLE status ERROR_VARIABLE errors TIMEOUT 20)
if(status EQUAL 0)
  message(FATAL_ERROR "The probe reported success without a place for its report")
endif()
if(NOT errors MATCHES "private-capture-probe.txt")
  message(FATAL_ERROR "The probe did not say which report it could not write: ${errors}")
endif()
if(EXISTS ${SCRATCH}/data/pellucine)
  message(FATAL_ERROR "The probe created its folder")
endif()

file(MAKE_DIRECTORY ${SCRATCH}/data/pellucine/diagnostics)
execute_process(COMMAND ${PROGRAM} --probe-private-capture
  RESULT_VARIABLE status ERROR_VARIABLE errors TIMEOUT 20)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The probe failed (${status}): ${errors}")
endif()
file(STRINGS ${report} lines)
list(LENGTH lines count)
list(GET lines 0 first)
list(GET lines -1 last)
if(NOT count EQUAL 3 OR NOT first MATCHES "^private-capture probe [0-9-]+ [0-9:]+ \\+0000$"
   OR NOT last STREQUAL "symbols: MISSING")
  message(FATAL_ERROR "Unexpected report:\n${lines}")
endif()
