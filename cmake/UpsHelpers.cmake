# Helpers shared by the programs' CMakeLists.

# ups_add_translation(<target> <output .qm> <.ts files...>)
# Compiles the .ts files with lrelease into one .qm file at build time.
function(ups_add_translation target qm)
    set(ts_files ${ARGN})
    if(NOT ts_files)
        return()
    endif()
    get_filename_component(qm_dir ${qm} DIRECTORY)
    add_custom_command(
        OUTPUT ${qm}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${qm_dir}
        COMMAND Qt5::lrelease -silent ${ts_files} -qm ${qm}
        DEPENDS ${ts_files}
        COMMENT "lrelease ${qm}"
        VERBATIM)
    get_filename_component(qm_name ${qm} NAME_WE)
    add_custom_target(${target}_${qm_name}_qm ALL DEPENDS ${qm})
    add_dependencies(${target} ${target}_${qm_name}_qm)
endfunction()

# ups_copy_files(<target> <source dir> <destination dir> <files...>)
# Copies shipped data files beside a program, again whenever they change.
function(ups_copy_files target src dst)
    set(outputs)
    foreach(f ${ARGN})
        add_custom_command(
            OUTPUT ${dst}/${f}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src}/${f} ${dst}/${f}
            DEPENDS ${src}/${f}
            VERBATIM)
        list(APPEND outputs ${dst}/${f})
    endforeach()
    string(MAKE_C_IDENTIFIER "${dst}" tag)
    add_custom_target(${target}_files_${tag} ALL DEPENDS ${outputs})
    add_dependencies(${target} ${target}_files_${tag})
endfunction()
