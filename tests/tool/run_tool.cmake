# Runs corvalen-tool, under the emulator when it is a Windows program, and
# holds it to its exit status and, when asked, to a line of its output and to
# the PNG file it was to write.
#   -DTOOL=path -DEMULATOR=path-or-empty -DARGS="check|folder" -DSTATUS=1
#   [-DOUTPUT=regex] [-DPICTURE=path]
string(REPLACE "|" ";" arguments "${ARGS}")
if(PICTURE)
    file(REMOVE "${PICTURE}")
endif()
execute_process(COMMAND ${EMULATOR} "${TOOL}" ${arguments}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
if(NOT status STREQUAL "${STATUS}")
    message(FATAL_ERROR "exit status ${status}, not ${STATUS}")
endif()
if(OUTPUT AND NOT output MATCHES "${OUTPUT}")
    message(FATAL_ERROR "no line matches ${OUTPUT}")
endif()
if(PICTURE)
    file(READ "${PICTURE}" signature LIMIT 8 HEX)
    if(NOT signature STREQUAL "89504e470d0a1a0a")
        message(FATAL_ERROR "${PICTURE} is no PNG file")
    endif()
endif()
