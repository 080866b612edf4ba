# cmake -DSTATUS=0|failure -DOUTPUT=REGEX -P expect_run.cmake -- COMMAND [ARGS...]: runs the
# command, shows what it printed, and passes only when its exit status is as expected (0, or any
# failure) and its output, stdout and stderr together, matches REGEX. CTest's
# PASS_REGULAR_EXPRESSION alone would pass a run that printed the right words and then failed.
set(command)
set(after_dashes FALSE)
foreach(i RANGE 1 ${CMAKE_ARGC})
  if(after_dashes AND DEFINED CMAKE_ARGV${i})
    string(REPLACE ";" "\\;" argument "${CMAKE_ARGV${i}}")
    list(APPEND command "${argument}")
  elseif("${CMAKE_ARGV${i}}" STREQUAL "--")
    set(after_dashes TRUE)
  endif()
endforeach()
if(NOT command OR NOT DEFINED STATUS OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "usage: cmake -DSTATUS=0|failure -DOUTPUT=REGEX -P expect_run.cmake -- COMMAND [ARGS...]")
endif()

execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(STATUS STREQUAL "failure")
  # A command that could not start gives a text, not a number.
  if(NOT status MATCHES "^[0-9]+$" OR status EQUAL 0)
    message(FATAL_ERROR "expected a failure, got exit status ${status}")
  endif()
elseif(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}, got ${status}")
endif()
if(NOT output MATCHES "${OUTPUT}")
  message(FATAL_ERROR "the output does not match: ${OUTPUT}")
endif()
