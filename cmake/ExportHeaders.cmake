# Each library exports only its own headers: lf_export_headers gives a target an include root in
# the build tree that holds links to the headers of its own folder and nothing else. A target
# then sees the headers of the libraries it links, and an include of any other library's header
# fails to compile.
#   lf_export_headers(target folder...)   folders under src/, each with its own headers only
function(lf_export_headers target)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    file(REMOVE_RECURSE ${root})
    foreach(folder ${ARGN})
        file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header ${headers})
            get_filename_component(name ${header} NAME)
            file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
        endforeach()
    endforeach()
    target_include_directories(${target} PUBLIC ${root})
endfunction()
