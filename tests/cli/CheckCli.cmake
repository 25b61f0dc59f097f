# Runs brindle-cli once and checks what it did.
#   cmake -DCLI=<program> -DEXPECT_CODE=<status> [-DEXPECT_STDOUT=<regex>]
#         [-DEXPECT_STDERR=<regex>] [-DEMPTY_STDOUT=TRUE] [-DEMPTY_STDERR=TRUE]
#         -P CheckCli.cmake -- <arguments for the program>
# Fails (non-zero exit) with a description of every mismatch.

set(arguments "")
set(after_separator FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(index RANGE ${last})
  if(after_separator)
    list(APPEND arguments "${CMAKE_ARGV${index}}")
  elseif("${CMAKE_ARGV${index}}" STREQUAL "--")
    set(after_separator TRUE)
  endif()
endforeach()

if(NOT CLI OR "${EXPECT_CODE}" STREQUAL "")
  message(FATAL_ERROR "CheckCli.cmake needs -DCLI=<program> and -DEXPECT_CODE=<status>")
endif()

execute_process(
  COMMAND "${CLI}" ${arguments}
  RESULT_VARIABLE code
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  TIMEOUT 30
)

set(problems "")
if(NOT "${code}" STREQUAL "${EXPECT_CODE}")
  string(APPEND problems "exit status is '${code}', expected ${EXPECT_CODE}\n")
endif()
if(NOT "${EXPECT_STDOUT}" STREQUAL "" AND NOT out MATCHES "${EXPECT_STDOUT}")
  string(APPEND problems "standard output does not match '${EXPECT_STDOUT}'\n")
endif()
if(NOT "${EXPECT_STDERR}" STREQUAL "" AND NOT err MATCHES "${EXPECT_STDERR}")
  string(APPEND problems "standard error does not match '${EXPECT_STDERR}'\n")
endif()
if(EMPTY_STDOUT AND NOT out STREQUAL "")
  string(APPEND problems "standard output should be empty\n")
endif()
if(EMPTY_STDERR AND NOT err STREQUAL "")
  string(APPEND problems "standard error should be empty\n")
endif()

if(problems)
  message(FATAL_ERROR "brindle-cli ${arguments}\n${problems}"
                      "--- standard output:\n${out}--- standard error:\n${err}---")
endif()
message(STATUS "brindle-cli ${arguments}: exit status ${code} as expected")
