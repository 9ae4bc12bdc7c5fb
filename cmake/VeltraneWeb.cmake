# SPDX-License-Identifier: MIT
#
# A game as a web page, built with emcmake against the engine built for the browser:
#
#   veltrane_web_page(<target> [NAME <name>] [TITLE <title>] [DESTINATION <folder>] DATA <file or folder>...)
#
# puts index.html, <name>.js, <name>.wasm and <name>.data (each DATA file or folder packed under its own
# name at the root, where the game's relative paths find it) in DESTINATION (default: the build folder's
# page/), ready for any static web server. NAME defaults to the target, TITLE to NAME.

if(NOT VELTRANE_WEB_DIR)
    set(VELTRANE_WEB_DIR "${CMAKE_CURRENT_LIST_DIR}/../engine/web")
endif()

function(veltrane_web_page target)
    cmake_parse_arguments(arg "" "NAME;TITLE;DESTINATION" "DATA" ${ARGN})
    if(NOT EMSCRIPTEN)
        message(FATAL_ERROR "veltrane_web_page(${target}): configure with emcmake to build for the browser")
    endif()
    if(NOT arg_NAME)
        set(arg_NAME "${target}")
    endif()
    if(NOT arg_TITLE)
        set(arg_TITLE "${arg_NAME}")
    endif()
    if(NOT arg_DESTINATION)
        set(arg_DESTINATION "${CMAKE_CURRENT_BINARY_DIR}/page")
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME "${arg_NAME}" SUFFIX ".js"
                          RUNTIME_OUTPUT_DIRECTORY "${arg_DESTINATION}")
    set(depends "")
    foreach(path IN LISTS arg_DATA)
        get_filename_component(absolute "${path}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
        if(NOT EXISTS "${absolute}")
            message(FATAL_ERROR "veltrane_web_page(${target}): no data at ${absolute}")
        endif()
        get_filename_component(packed "${absolute}" NAME)
        target_link_options(${target} PRIVATE "SHELL:--preload-file ${absolute}@/${packed}")
        if(IS_DIRECTORY "${absolute}")
            file(GLOB_RECURSE files CONFIGURE_DEPENDS "${absolute}/*")
            list(APPEND depends ${files})
        else()
            list(APPEND depends "${absolute}")
        endif()
    endforeach()
    # Edited data is packed again at the next build.
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${depends})
    set(VL_PAGE_TITLE "${arg_TITLE}")
    set(VL_PAGE_SCRIPT "${arg_NAME}.js")
    configure_file("${VELTRANE_WEB_DIR}/index.html.in" "${arg_DESTINATION}/index.html" @ONLY)
    configure_file("${VELTRANE_WEB_DIR}/veltrane-page.js" "${arg_DESTINATION}/veltrane-page.js" COPYONLY)
endfunction()
