# The binding runtime: window-free, on the library's Lua state.
add_library(lintrado_script STATIC
    script/tolua_runtime.cpp
    script/tolua_values.cpp
    script/tolua_events.cpp
)
target_include_directories(lintrado_script PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(lintrado_script PUBLIC varnak PkgConfig::LUA PRIVATE lintrado_warnings)

# Runs tools/gen_bindings.py on a registration table; sets out_var to the generated sources. The
# build fails, naming the group, when the table differs from its manifest.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(lintrado_generate_bindings out_var table manifest prefix parts dir)
    # the tables a table imports sit in tables/ beside it
    get_filename_component(table_dir ${table} DIRECTORY)
    file(GLOB imported CONFIGURE_DEPENDS ${table_dir}/tables/*.tbl)
    set(outputs ${dir}/${prefix}Types.cpp ${dir}/${prefix}Open.cpp)
    math(EXPR last "${parts} - 1")
    foreach(i RANGE ${last})
        list(APPEND outputs ${dir}/${prefix}Part${i}.cpp)
    endforeach()
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/gen_bindings.py --table ${table} --manifest ${manifest}
                --out ${dir} --prefix ${prefix} --parts ${parts}
        COMMAND ${CMAKE_COMMAND} -E touch ${outputs}
        DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_bindings.py ${table} ${manifest} ${imported}
        COMMENT "Generating script bindings from ${table}"
        VERBATIM)
    set(${out_var} ${outputs} PARENT_SCOPE)
endfunction()

# The package itself joins the user-interface library: a few bound routines are windows.
lintrado_generate_bindings(LINTRADO_SCRIPT_BINDINGS ${CMAKE_SOURCE_DIR}/script/bindings.tbl
    ${CMAKE_SOURCE_DIR}/script/bindings.manifest tLua 4 ${CMAKE_BINARY_DIR}/script_gen)
list(APPEND LINTRADO_UI_SOURCES ${LINTRADO_SCRIPT_BINDINGS})
