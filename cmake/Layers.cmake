# Each layer's headers are reached as "<layer>/<name>.h" through a folder of
# the build tree that holds that layer alone (a link to its source folder).
# A target that exports it gives its users that one layer and nothing else,
# so a file that includes a layer its target does not link fails to build.
function(kovo_layer_include_dir out layer source_dir)
  set(dir ${CMAKE_BINARY_DIR}/include/${layer})
  if(NOT IS_SYMLINK ${dir}/${layer})
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${source_dir} ${dir}/${layer} SYMBOLIC)
  endif()
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

# Exports the headers of src/<layer> from `target`.
function(kovo_export_layer target layer)
  kovo_layer_include_dir(dir ${layer} ${CMAKE_SOURCE_DIR}/src/${layer})
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
