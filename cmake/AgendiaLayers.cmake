# agendia_layer_headers(TARGET)
#
# Sources include each other as "layer/file.h" from src/. Putting src/ itself
# on an include path would let any layer include any other unnoticed, so
# every target gets folders of its own that hold only its headers, under the
# same names: a public one, which reaches the targets that link it, and a
# private one for its *_p.h headers. A header of a layer a target does not
# link is then not found, and a forbidden include fails to build.
#
# Call it once all of the target's sources, headers included, are listed.
function(agendia_layer_headers target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  set(root ${CMAKE_BINARY_DIR}/layer-headers/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/public ${root}/private)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.h$")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE
      OUTPUT_VARIABLE absolute)
    cmake_path(RELATIVE_PATH absolute BASE_DIRECTORY ${PROJECT_SOURCE_DIR}/src
      OUTPUT_VARIABLE relative)
    if(source MATCHES "_p\\.h$")
      set(link ${root}/private/${relative})
    else()
      set(link ${root}/public/${relative})
    endif()
    cmake_path(GET link PARENT_PATH folder)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${absolute} ${link} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  target_include_directories(${target}
    PUBLIC $<BUILD_INTERFACE:${root}/public>
    PRIVATE ${root}/private)
endfunction()
