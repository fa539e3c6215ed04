cmake_policy(VERSION 3.25)

# The steps of Quorvin's install that CMake's install() rules cannot express alone, run by
# cmake_install.cmake at install time (so `cmake --install build --prefix DIR` and DESTDIR are
# honoured): recording what the install creates, the desktop entry with the installed
# program's path, the `quorvin` command, and the desktop's registrations and databases.
# cmake/uninstall.cmake undoes all of it from the record this writes beside the build.
#
# Set by the including install(CODE): QUORVIN_SOURCE_DIR, QUORVIN_BINARY_DIR, and the program,
# command and data folders (QUORVIN_PROGRAMDIR, QUORVIN_BINDIR, QUORVIN_DATADIR), each
# relative to the prefix or absolute. QUORVIN_DATADIR in the environment overrides the data
# folder for one install: `make install` puts the data in XDG_DATA_HOME that way.

set(QUORVIN_TYPES text/x-nfo text/x-quorvin-diz)
set(QUORVIN_ICON_SIZES 16 22 24 32 48 64 128 256)

# The folders of this install, as the installed program will see them (no DESTDIR) and as
# they are written now (with it).
macro(quorvin_install_paths)
    if(NOT "$ENV{QUORVIN_DATADIR}" STREQUAL "")
        set(QUORVIN_DATADIR "$ENV{QUORVIN_DATADIR}")
    endif()
    foreach(kind PROGRAM BIN DATA)
        if(IS_ABSOLUTE "${QUORVIN_${kind}DIR}")
            set(final_${kind} "${QUORVIN_${kind}DIR}")
        else()
            set(final_${kind} "${CMAKE_INSTALL_PREFIX}/${QUORVIN_${kind}DIR}")
        endif()
        set(staged_${kind} "$ENV{DESTDIR}${final_${kind}}")
    endforeach()
    if(NOT "$ENV{XDG_CONFIG_HOME}" STREQUAL "")
        set(config_dir "$ENV{XDG_CONFIG_HOME}")
    else()
        set(config_dir "$ENV{HOME}/.config")
    endif()
    set(record "${QUORVIN_BINARY_DIR}/install_record.cmake")
endmacro()

# mimeapps.list as a list of lines. Semicolons and brackets are kept out of CMake's list
# syntax by placeholders; quorvin_write_lines writes lines joined by newlines, putting them back.
function(quorvin_read_lines out path)
    set(lines "")
    if(EXISTS "${path}")
        file(READ "${path}" content)
        string(REPLACE ";" "<semicolon>" content "${content}")
        string(REPLACE "[" "<open>" content "${content}")
        string(REPLACE "]" "<close>" content "${content}")
        string(REPLACE "\n" ";" lines "${content}")
    endif()
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()

function(quorvin_write_lines path content)
    string(REPLACE "<semicolon>" ";" content "${content}")
    string(REPLACE "<open>" "[" content "${content}")
    string(REPLACE "<close>" "]" content "${content}")
    file(WRITE "${path}" "${content}")
endfunction()

# The value mimeapps.list's [Default Applications] gives a type, or "" when it has no line.
function(quorvin_default_of out lines type)
    set(section "")
    set(value "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^<open>")
            set(section "${line}")
        elseif(section STREQUAL "<open>Default Applications<close>" AND line MATCHES "^${type}=")
            string(LENGTH "${type}=" skip)
            string(SUBSTRING "${line}" ${skip} -1 value)
        endif()
    endforeach()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Before anything is installed: the folders the install will create (the missing ones up to
# the first that exists), which of the desktop's caches exist, whether mimeapps.list exists,
# and the defaults it gives our types.
# A second install to the same place keeps the first one's record, which knows how things were.
function(quorvin_install_begin)
    quorvin_install_paths()
    if(EXISTS "${record}")
        include("${record}")
        if(QUORVIN_PROGRAM_DIR STREQUAL staged_PROGRAM)
            return()
        endif()
    endif()
    set(folders "${staged_PROGRAM}" "${staged_BIN}" "${staged_DATA}/applications"
        "${staged_DATA}/mime/packages" "${staged_DATA}/thumbnailers" "${staged_DATA}/metainfo"
        "${staged_DATA}/man/man1")
    foreach(size IN LISTS QUORVIN_ICON_SIZES)
        list(APPEND folders "${staged_DATA}/icons/hicolor/${size}x${size}/apps")
    endforeach()
    if("$ENV{DESTDIR}" STREQUAL "")
        list(APPEND folders "${config_dir}")
    endif()
    set(created "")
    foreach(folder IN LISTS folders)
        while(NOT EXISTS "${folder}" AND NOT folder IN_LIST created)
            list(APPEND created "${folder}")
            get_filename_component(folder "${folder}" DIRECTORY)
        endwhile()
    endforeach()
    set(content "set(QUORVIN_CREATED [==[${created}]==])\n")
    string(APPEND content "set(QUORVIN_DESTDIR [==[$ENV{DESTDIR}]==])\n")
    string(APPEND content "set(QUORVIN_PROGRAM_DIR [==[${staged_PROGRAM}]==])\n")
    string(APPEND content "set(QUORVIN_DATA_DIR [==[${staged_DATA}]==])\n")
    foreach(cache applications/mimeinfo.cache mime/mime.cache)
        if(EXISTS "${staged_DATA}/${cache}")
            string(APPEND content "set([==[QUORVIN_HAD_${cache}]==] TRUE)\n")
        endif()
    endforeach()
    if("$ENV{DESTDIR}" STREQUAL "")
        set(mimeapps "${config_dir}/mimeapps.list")
        string(APPEND content "set(QUORVIN_MIMEAPPS [==[${mimeapps}]==])\n")
        if(EXISTS "${mimeapps}")
            string(APPEND content "set(QUORVIN_MIMEAPPS_EXISTED TRUE)\n")
        endif()
        quorvin_read_lines(lines "${mimeapps}")
        foreach(type IN LISTS QUORVIN_TYPES)
            quorvin_default_of(value "${lines}" "${type}")
            string(APPEND content "set([==[QUORVIN_BEFORE_${type}]==] [==[${value}]==])\n")
        endforeach()
    endif()
    file(WRITE "${record}" "${content}")
endfunction()

# A program's path as the first word of an Exec key. The path is quoted only when it holds a
# character that the desktop entry format reserves: xdg-open's own fallback reads Exec's first
# word as is.
function(quorvin_exec_word out program)
    set(exec "${program}")
    if(exec MATCHES "[] \t\"'\\\\><~|&;$*?#()`[]")
        foreach(reserved "\\" "\"" "`" "$")
            string(REPLACE "${reserved}" "\\${reserved}" exec "${exec}")
        endforeach()
        set(exec "\"${exec}\"")
    endif()
    string(REPLACE "%" "%%" exec "${exec}")
    string(REPLACE "\\" "\\\\" exec "${exec}")
    set(${out} "${exec}" PARENT_SCOPE)
endfunction()

# The desktop entry and the thumbnailer entry run the installed programs by their full paths, so
# they work whether or not the command's folder is on PATH.
function(quorvin_install_desktop)
    quorvin_install_paths()
    set(program "${final_PROGRAM}/quorvin")
    quorvin_exec_word(QUORVIN_EXEC "${program}")
    string(REPLACE "\\" "\\\\" QUORVIN_TRYEXEC "${program}")
    set(work "${QUORVIN_BINARY_DIR}/install")
    file(READ "${QUORVIN_SOURCE_DIR}/resources/quorvin.desktop.in" template)
    string(CONFIGURE "${template}" entry @ONLY)
    file(WRITE "${work}/quorvin.desktop" "${entry}")
    file(INSTALL "${work}/quorvin.desktop" DESTINATION "${final_DATA}/applications")

    # The command is a relative link, so a staged tree keeps working where it is unpacked.
    # The program finds its folder through the link, at the real executable.
    file(RELATIVE_PATH target "${final_BIN}" "${program}")
    file(REMOVE "${work}/quorvin")
    file(CREATE_LINK "${target}" "${work}/quorvin" SYMBOLIC)
    file(INSTALL "${work}/quorvin" DESTINATION "${final_BIN}")

    foreach(size IN LISTS QUORVIN_ICON_SIZES)
        file(INSTALL "${QUORVIN_SOURCE_DIR}/resources/icons/quorvin-${size}.png"
            DESTINATION "${final_DATA}/icons/hicolor/${size}x${size}/apps"
            RENAME quorvin.png)
    endforeach()
    file(INSTALL "${QUORVIN_SOURCE_DIR}/resources/quorvin-mime.xml"
        DESTINATION "${final_DATA}/mime/packages" RENAME quorvin.xml)

    # The desktop's thumbnail services (Tumbler, GNOME's) run quorvin-render for both types;
    # software centres read the metainfo; man finds the page beside the command's folder.
    quorvin_exec_word(QUORVIN_RENDER "${final_BIN}/quorvin-render")
    string(REPLACE "\\" "\\\\" QUORVIN_RENDER_TRYEXEC "${final_BIN}/quorvin-render")
    file(READ "${QUORVIN_SOURCE_DIR}/resources/quorvin.thumbnailer.in" template)
    string(CONFIGURE "${template}" entry @ONLY)
    file(WRITE "${work}/quorvin.thumbnailer" "${entry}")
    file(INSTALL "${work}/quorvin.thumbnailer" DESTINATION "${final_DATA}/thumbnailers")
    file(INSTALL "${QUORVIN_SOURCE_DIR}/resources/quorvin.metainfo.xml"
        DESTINATION "${final_DATA}/metainfo" RENAME org.example.quorvin.metainfo.xml)
    file(INSTALL "${QUORVIN_SOURCE_DIR}/resources/quorvin-render.1"
        DESTINATION "${final_DATA}/man/man1")
    set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()

# Brings the desktop's caches up to date with a data folder; also used by uninstall.
function(quorvin_refresh_databases data_dir)
    find_program(UPDATE_DESKTOP update-desktop-database)
    if(UPDATE_DESKTOP AND EXISTS "${data_dir}/applications")
        execute_process(COMMAND "${UPDATE_DESKTOP}" -q "${data_dir}/applications")
    endif()
    find_program(UPDATE_MIME update-mime-database)
    if(UPDATE_MIME AND EXISTS "${data_dir}/mime/packages")
        execute_process(COMMAND "${UPDATE_MIME}" "${data_dir}/mime")
    endif()
    find_program(UPDATE_ICONS gtk-update-icon-cache)
    if(UPDATE_ICONS AND EXISTS "${data_dir}/icons/hicolor/icon-theme.cache")
        execute_process(COMMAND "${UPDATE_ICONS}" -q -t "${data_dir}/icons/hicolor")
    endif()
endfunction()

# After everything is in place: Quorvin becomes the user's default for both types, and the
# databases are refreshed. A staged install (DESTDIR) leaves both to the package's triggers.
function(quorvin_install_end)
    quorvin_install_paths()
    if(NOT "$ENV{DESTDIR}" STREQUAL "")
        message(STATUS "Staged in DESTDIR: no default applications set, no databases refreshed")
        return()
    endif()
    find_program(XDG_MIME xdg-mime)
    if(XDG_MIME)
        execute_process(COMMAND "${XDG_MIME}" default quorvin.desktop ${QUORVIN_TYPES}
            RESULT_VARIABLE failed)
    endif()
    if(NOT XDG_MIME OR failed)
        message(WARNING "xdg-mime could not make Quorvin the default for ${QUORVIN_TYPES}")
    endif()
    quorvin_refresh_databases("${final_DATA}")
endfunction()
