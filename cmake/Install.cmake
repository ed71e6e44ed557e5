# Installed layout (paths below the install prefix):
#
#   lib/lineforge/                    the program folder: the real executables and every file that
#     lineforge, lineforge-batch      ships beside them, laid out as in the build's runtime folder
#     Samples/, HAND-M.CUR, drag.ico, x/o.cjs   (each only when the build produced it)
#   bin/lineforge                     -> ../lib/lineforge/lineforge        (relative symbolic links)
#   bin/lineforge-batch               -> ../lib/lineforge/lineforge-batch
#   share/applications/lineforge.desktop
#   share/icons/hicolor/<N>x<N>/apps/lineforge.png, share/icons/hicolor/scalable/apps/lineforge.svg
#   share/doc/lineforge/README.md
#
# The program finds its files in the folder of the running program file. Qt takes that folder
# from /proc/self/exe, which names the link's target, so a start through bin/ still sees
# lib/lineforge/ and finds Samples there exactly as the built program finds it in the build's bin/.

set(LINEFORGE_INSTALL_APPDIR "lib/lineforge" CACHE STRING
    "Program folder below the install prefix: the executables and the files shipped beside them")
foreach(dir LINEFORGE_INSTALL_APPDIR CMAKE_INSTALL_BINDIR)
    if(IS_ABSOLUTE "${${dir}}")
        message(FATAL_ERROR "${dir} must be relative to the install prefix (the links in bin are relative): ${${dir}}")
    endif()
endforeach()

# The executables that exist in this tree (the batch command may not be built yet).
set(LINEFORGE_INSTALLED_PROGRAMS)
set(lf_link_dir ${CMAKE_BINARY_DIR}/install-links)
file(REMOVE_RECURSE ${lf_link_dir})
file(MAKE_DIRECTORY ${lf_link_dir})
file(RELATIVE_PATH lf_bin_to_app /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${LINEFORGE_INSTALL_APPDIR})
foreach(program lineforge lineforge-batch)
    if(TARGET ${program})
        list(APPEND LINEFORGE_INSTALLED_PROGRAMS ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${LINEFORGE_INSTALL_APPDIR})
        file(CREATE_LINK ${lf_bin_to_app}/${program} ${lf_link_dir}/${program} SYMBOLIC)
        install(FILES ${lf_link_dir}/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

# Files beside the program: taken from the build's runtime folder at install time, so that the
# installed program gets exactly what the built one uses; each is optional.
install(DIRECTORY ${LINEFORGE_RUNTIME_DIR}/Samples ${LINEFORGE_RUNTIME_DIR}/x
        DESTINATION ${LINEFORGE_INSTALL_APPDIR} OPTIONAL)
install(FILES ${LINEFORGE_RUNTIME_DIR}/HAND-M.CUR ${LINEFORGE_RUNTIME_DIR}/drag.ico
        DESTINATION ${LINEFORGE_INSTALL_APPDIR} OPTIONAL)

# Desktop integration: menu entry and icon theme sizes.
set(LINEFORGE_ICON_SIZES 16 32 48 64 128 256)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lineforge.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${LINEFORGE_ICON_SIZES})
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/lineforge-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME lineforge.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/lineforge.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lineforge)
