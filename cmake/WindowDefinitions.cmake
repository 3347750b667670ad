# pogoda_add_window_definition(<out_var> <source>)
# Makes the stored form of a window definition: the readable UTF-8 source (binary values as
# file 'name', next to the source) becomes <stem>.wdef in the current binary directory,
# Windows-1251 text with every binary value inlined. <out_var> receives its full path; list
# it as a source of the target that embeds it (or in OBJECT_DEPENDS of the .rc file), so it
# is made first. The build redoes it when the source or any file it names changes.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(POGODA_STORE_WINDOW_DEFINITION ${CMAKE_CURRENT_LIST_DIR}/store_window_definition.py)

function(pogoda_add_window_definition out_var source)
  get_filename_component(source_path ${source} ABSOLUTE)
  get_filename_component(stem ${source} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${stem}.wdef)
  add_custom_command(
    OUTPUT ${output}
    COMMAND Python3::Interpreter ${POGODA_STORE_WINDOW_DEFINITION}
            ${source_path} ${output} --depfile ${output}.d
    DEPENDS ${source_path} ${POGODA_STORE_WINDOW_DEFINITION}
    DEPFILE ${output}.d
    COMMENT "Storing window definition ${source}"
    VERBATIM)
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()
