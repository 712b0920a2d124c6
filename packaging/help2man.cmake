# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the gzipped section-1 man page of a program from its own --help, so that page and
# program cannot drift apart. A build step runs it:
#   cmake -DHELP2MAN=... -DTIMEOUT=... -DPROGRAM=path -DVERSION=x.y.z -DWHATIS=text
#         -DOUTPUT=dir/name.1.gz [-DCOMMANDS=first,second,...] -P help2man.cmake
# With COMMANDS, the page also has a section per command from 'name COMMAND --help'.
# The program runs without a display and without input; one that does not answer in time
# fails the build instead of leaving a stale page behind.
cmake_minimum_required(VERSION 3.25)

get_filename_component(directory "${PROGRAM}" DIRECTORY)
get_filename_component(name "${PROGRAM}" NAME)
string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")

# Run by its bare name, found on PATH, so that the usage line shows no build path.
set(ENV{PATH} "${directory}:$ENV{PATH}")
set(ENV{QT_QPA_PLATFORM} offscreen)

set(include_options)
if(COMMANDS)
    include(${CMAKE_CURRENT_LIST_DIR}/commandhelp.cmake)
    string(REPLACE "," ";" commands "${COMMANDS}")
    set(include_file "${page}.commands")
    write_command_help("${name}" "${commands}" "${include_file}")
    set(include_options "--include=${include_file}")
endif()

# The page is English whatever the builder's locale; C.UTF-8 rather than help2man's default C
# keeps the Chinese in the help texts. The version is the package's, so it needs no --version.
execute_process(
    COMMAND "${TIMEOUT}" --kill-after=5 20
            "${HELP2MAN}" --no-info --section=1 --locale=C.UTF-8 "--version-string=${VERSION}"
            "--name=${WHATIS}" "--output=${page}" ${include_options} "${name}"
    INPUT_FILE /dev/null
    RESULT_VARIABLE result
    ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    file(REMOVE "${page}")
    message(FATAL_ERROR "No man page for ${name}: help2man ended with '${result}' "
                        "(124 means '${name} --help' did not finish within 20 s).\n${errors}")
endif()

execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not compress ${page}")
endif()
