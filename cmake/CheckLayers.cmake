# Fails when a source file includes a header of a layer above its own.
#   cmake -DSOURCE_DIR=<folder holding the layer folders> -P CheckLayers.cmake
# Layers, bottom first; a file may include headers of its own layer and of any layer below.
set(LAYER_RANKS
    runtime=0 filesafe=0 packaging=0
    docx=1 journal=1
    word=1 platform=1
    word/builtin=2 word/office=2 platform/qt=2
    intake=3 engine=3 listui=3
    app=4 batch=4)

function(rank_of path out)
    set(best -1)
    set(best_length 0)
    foreach(entry ${LAYER_RANKS})
        string(REPLACE "=" ";" pair "${entry}")
        list(GET pair 0 layer)
        list(GET pair 1 rank)
        string(LENGTH "${layer}" length)
        if((path STREQUAL layer OR path MATCHES "^${layer}/") AND length GREATER best_length)
            set(best ${rank})
            set(best_length ${length})
        endif()
    endforeach()
    set(${out} ${best} PARENT_SCOPE)
endfunction()

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(violations 0)
foreach(file ${files})
    get_filename_component(folder ${file} DIRECTORY)
    rank_of("${folder}" own)
    if(own LESS 0)
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"[^\"]+\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
        get_filename_component(header_folder ${header} DIRECTORY)
        rank_of("${header_folder}" theirs)
        if(theirs GREATER own)
            message(SEND_ERROR "${file} (layer ${folder}) includes ${header}, a layer above it")
            math(EXPR violations "${violations} + 1")
        endif()
    endforeach()
endforeach()
list(LENGTH files count)
message(STATUS "${count} files checked, ${violations} includes point upward")
