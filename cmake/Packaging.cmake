# SPDX-License-Identifier: MIT
#
# The Debian packages (`make package`, from a build configured with CMAKE_INSTALL_PREFIX=/usr):
#   veltrane          component game: veltrane-game, its sprites, sounds, levels, font, desktop entry, icon
#   libveltrane-dev   component dev: the static libraries, headers, CMake package, veltrane-sprite
# Runtime dependencies come from dpkg-shlibdeps; the programmers' package adds the development
# packages its CMake package looks for, and the game's package for the font.

set(vl_packaging "${PROJECT_SOURCE_DIR}/packaging")
set(vl_packaging_out "${CMAKE_BINARY_DIR}/generated/packaging")
file(MAKE_DIRECTORY "${vl_packaging_out}")

# Debian installs changelogs and manual pages compressed, without a time stamp so builds repeat.
function(vl_gzip name output_var)
    set(output "${vl_packaging_out}/${name}.gz")
    execute_process(COMMAND gzip -9nc "${vl_packaging}/${name}" OUTPUT_FILE "${output}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cannot compress packaging/${name}")
    endif()
    set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${vl_packaging}/${name}")
    set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

vl_gzip(changelog vl_changelog)
vl_gzip(veltrane-game.6 vl_game_manual)
vl_gzip(veltrane-sprite.1 vl_sprite_manual)
file(COPY_FILE "${vl_changelog}" "${vl_packaging_out}/changelog.Debian.gz")

foreach(component_package IN ITEMS "game;veltrane" "dev;libveltrane-dev")
    list(GET component_package 0 component)
    list(GET component_package 1 package)
    install(FILES "${vl_packaging}/copyright" "${vl_packaging_out}/changelog.Debian.gz"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}" COMPONENT ${component})
endforeach()
install(FILES "${vl_game_manual}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man6" COMPONENT game)
install(FILES "${vl_sprite_manual}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1" COMPONENT dev)
install(FILES "${vl_packaging}/veltrane.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
        COMPONENT game)
# Drawn from the game's sprites by scripts/make-icon.sh.
install(FILES "${vl_packaging}/veltrane.png" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps"
        COMPONENT game)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrane)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Veltrane developers <maintainers@veltrane.example.org>")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME veltrane)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_COMPONENT_GAME_DESCRIPTION "text-mode puzzle platformer with a light and a shadow world
Veltrane is a puzzle platformer drawn in coloured characters: switch between
the light and the shadow world, carry lights and pull levers to reach the
door of each of its six levels.")

set(vl_package_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libveltrane-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "veltrane (= ${vl_package_version}), libsfml-dev, libmpg123-dev, libopenal-dev, libx11-dev, pkg-config")
set(CPACK_COMPONENT_DEV_DESCRIPTION "Veltrane text-mode game engine: static libraries and headers
The engine behind the Veltrane game, for writing games of your own: one
static library per module, the headers, a CMake package (find_package of
veltrane, target veltrane::veltrane) and veltrane-sprite, a checker for
sprite files. The font comes with the game's package.")

include(CPack)
