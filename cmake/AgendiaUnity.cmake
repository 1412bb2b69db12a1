# Batched ("unity") compiles: with AGENDIA_UNITY_BUILD on, the C++ sources of
# each library and program are compiled in batches of up to
# AGENDIA_UNITY_BATCH, each batch one generated source that includes them.
# Most of a cold build's compile time is the standard library, GoogleTest, Qt
# and Windows headers parsed again for every file and the same templates
# instantiated again in every object; a batch parses and instantiates them
# once. scripts/build.sh turns it on; the sanitizer tree stays without it, so
# CI still compiles every file on its own and a missing include shows there.
#
# CMake's own UNITY_BUILD names the files by absolute path, which would make
# ccache miss in a clone in another folder; these batches name them relative
# to the batch, as the tests' path files keep the paths off the commands.
# Targets with AUTOMOC keep their files: moc reads them. A file whose own
# helpers share a name with a neighbour's compiles alone: its folder sets
# SKIP_UNITY_BUILD_INCLUSION on it, as for CMake's own batches.
option(AGENDIA_UNITY_BUILD "Compile each target's C++ sources in batches" OFF)
set(AGENDIA_UNITY_BATCH 8 CACHE STRING "Most C++ sources in one batched compile")

function(agendia_unity_target target)
  get_target_property(type ${target} TYPE)
  get_target_property(imported ${target} IMPORTED)
  get_target_property(automoc ${target} AUTOMOC)
  if(imported OR automoc OR NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(binary_dir ${target} BINARY_DIR)
  set(kept)
  set(batched)
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<" OR NOT source MATCHES "\\.cpp$")
      list(APPEND kept "${source}")
      continue()
    endif()
    get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${source_dir}")
    cmake_path(IS_PREFIX CMAKE_BINARY_DIR "${path}" NORMALIZE generated)
    cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${path}" NORMALIZE ours)
    get_source_file_property(alone "${path}" DIRECTORY "${source_dir}" SKIP_UNITY_BUILD_INCLUSION)
    if(generated OR NOT ours OR alone)
      list(APPEND kept "${source}")
    else()
      list(APPEND batched "${path}")
    endif()
  endforeach()
  list(LENGTH batched count)
  if(count LESS 2)
    return()
  endif()
  # As many batches as the size asks for, their files shared out evenly.
  math(EXPR batches "(${count} + ${AGENDIA_UNITY_BATCH} - 1) / ${AGENDIA_UNITY_BATCH}")
  math(EXPR size "(${count} + ${batches} - 1) / ${batches}")
  set(folder ${binary_dir}/${target}_unity)
  set(index 0)
  set(batch 0)
  set(content "")
  set(batch_files)
  foreach(path IN LISTS batched)
    file(RELATIVE_PATH relative ${folder} ${path})
    string(APPEND content "#include \"${relative}\"\n")
    math(EXPR index "${index} + 1")
    math(EXPR left "${index} % ${size}")
    if(left EQUAL 0 OR index EQUAL count)
      set(file ${folder}/batch${batch}.cpp)
      file(CONFIGURE OUTPUT ${file} CONTENT "// Generated: one compile for these sources of ${target}.\n${content}" @ONLY)
      list(APPEND batch_files ${file})
      set(content "")
      math(EXPR batch "${batch} + 1")
    endif()
  endforeach()
  # Batches left from a configure with more files would only mislead.
  file(GLOB old_batches ${folder}/batch*.cpp)
  list(REMOVE_ITEM old_batches ${batch_files})
  if(old_batches)
    file(REMOVE ${old_batches})
  endif()
  set_property(TARGET ${target} PROPERTY SOURCES ${kept} ${batch_files})
endfunction()

# agendia_unity_build(DIRECTORY): batches the targets of DIRECTORY and of the
# folders below it; called once all of them are defined.
function(agendia_unity_build directory)
  if(NOT AGENDIA_UNITY_BUILD)
    return()
  endif()
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    agendia_unity_target(${target})
  endforeach()
  get_property(folders DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(folder IN LISTS folders)
    agendia_unity_build(${folder})
  endforeach()
endfunction()
