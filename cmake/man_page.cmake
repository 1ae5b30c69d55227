# Writes the manual page of the command from its --help text.
#   cmake -DCOMMAND=<path of ormelin> -DOUTPUT=<ormelin.1> -DVERSION=<x.y.z> -P man_page.cmake
execute_process(COMMAND ${COMMAND} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${COMMAND} --help failed: ${result}")
endif()
string(REPLACE "${COMMAND}" "ormelin" help "${help}")
# roff reads a backslash as an escape and a leading dot or apostrophe as a request
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT} ".TH ORMELIN 1 \"\" \"ormelin ${VERSION}\" \"User Commands\"\n"
                     ".SH NAME\normelin \\- design documents in .xlsx workbooks\n"
                     ".SH DESCRIPTION\n.nf\n${help}.fi\n")
