# SPDX-License-Identifier: GPL-3.0-or-later
# write_command_help(PROGRAM COMMANDS OUTPUT) writes a help2man include file with one section per
# command, each from 'PROGRAM COMMAND --help', so that the page shows every command's options and
# not only the overview. help2man turns only the program's own --help into roff; the commands'
# texts are in the same layout (QCommandLineParser's), which this turns into roff likewise:
# "Heading:" lines, "  term   description" items with their deeper indented continuations, and
# prose at the margin.

# The text as roff that groff prints as it stands.
function(_command_help_escape text result)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    # A line starting with a dot or an apostrophe would be a request to groff; one starting with
    # a bracket or a slash could be a section or a pattern to help2man.
    string(REGEX REPLACE "^([[.'/])" "\\\\&\\1" text "${text}")
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

function(_command_help_roff help result)
    # CMake lists split at semicolons; the text may hold some of its own.
    string(REPLACE ";" "<semicolon>" help "${help}")
    string(REPLACE "\n" ";" lines "${help}")
    set(roff "")
    # Whether the lines so far belong to an item, which a line at the margin ends.
    set(in_item FALSE)
    foreach(line IN LISTS lines)
        string(REPLACE "<semicolon>" ";" line "${line}")
        if(line MATCHES "^Usage: (.*)$")
            _command_help_escape("${CMAKE_MATCH_1}" usage)
            string(APPEND roff ".PP\n\\fB${usage}\\fR\n.br\n")
        elseif(line STREQUAL "")
            string(APPEND roff ".PP\n")
            set(in_item FALSE)
        elseif(line MATCHES "^[^ ].*:$")
            _command_help_escape("${line}" heading)
            string(APPEND roff ".SS ${heading}\n")
            set(in_item FALSE)
        elseif(line MATCHES "^  ([^ ]+( [^ ]+)*)  +(.*)$")
            _command_help_escape("${CMAKE_MATCH_1}" term)
            _command_help_escape("${CMAKE_MATCH_3}" description)
            string(APPEND roff ".TP\n\\fB${term}\\fR\n${description}\n")
            set(in_item TRUE)
        elseif(line MATCHES "^  [^ ]")
            # An item without a term, such as a note below a list.
            string(STRIP "${line}" line)
            _command_help_escape("${line}" text)
            string(APPEND roff ".IP\n${text}\n")
            set(in_item TRUE)
        else()
            # Prose, or a description's continuation: groff fills it into the paragraph.
            if(in_item AND line MATCHES "^[^ ]")
                string(APPEND roff ".PP\n")
                set(in_item FALSE)
            endif()
            string(STRIP "${line}" line)
            _command_help_escape("${line}" text)
            string(APPEND roff "${text}\n")
        endif()
    endforeach()
    # Paragraph breaks in a row, before a heading, or at the end, are empty lines on the page.
    string(REGEX REPLACE "(\\.PP\n)+" ".PP\n" roff "${roff}")
    string(REPLACE ".PP\n.SS" ".SS" roff "${roff}")
    string(REGEX REPLACE "\\.PP\n$" "" roff "${roff}")
    set(${result} "${roff}" PARENT_SCOPE)
endfunction()

function(write_command_help program commands output)
    set(include "")
    foreach(command IN LISTS commands)
        execute_process(
            COMMAND "${TIMEOUT}" --kill-after=5 20 "${program}" ${command} --help
            INPUT_FILE /dev/null
            OUTPUT_VARIABLE help
            RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "'${program} ${command} --help' ended with '${result}'")
        endif()
        _command_help_roff("${help}" roff)
        string(TOUPPER "${command}" title)
        string(APPEND include "[COMMAND ${title}]\n${roff}\n")
    endforeach()
    file(WRITE "${output}" "${include}")
endfunction()
