# The engine is built in layers, each a static library with an explicit list
# of sources and the layers it uses, never one that uses it:
#
#   kivora_layer(NAME lang FOLDER src/lang SOURCES ... DEPENDS base)
#
# makes the library kivora_lang. A source of a layer may include headers of
# its own folder and of the folders of the layers it names in DEPENDS, and
# nothing else of the project; only layers marked QT may include Qt. The
# test LayerCheck (cmake/CheckLayers.cmake) enforces that on every build, and
# also that the graph has no cycle and that every source file of a layer's
# folder is in its list, so no file is left out of the build by accident.

# What keeps battles identical on every machine travels with the engine:
# no contraction of a*b+c into fused instructions, no fast-math.
add_library(kivora_determinism INTERFACE)
target_compile_options(kivora_determinism INTERFACE -ffp-contract=off -fno-fast-math)

set_property(GLOBAL PROPERTY KIVORA_LAYERS "")

function(kivora_layer)
  cmake_parse_arguments(L "QT" "NAME;FOLDER;INCLUDE_ROOT" "SOURCES;DEPENDS;LIBRARIES" ${ARGN})
  set(target kivora_${L_NAME})
  list(TRANSFORM L_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${L_FOLDER}/)
  add_library(${target} STATIC ${L_SOURCES})
  if(NOT L_INCLUDE_ROOT)
    get_filename_component(L_INCLUDE_ROOT ${PROJECT_SOURCE_DIR}/${L_FOLDER} DIRECTORY)
  endif()
  target_include_directories(${target} PUBLIC ${L_INCLUDE_ROOT})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${target} PUBLIC kivora_determinism ${L_LIBRARIES})
  foreach(dep ${L_DEPENDS})
    target_link_libraries(${target} PUBLIC kivora_${dep})
  endforeach()
  string(REPLACE ";" "," deps "${L_DEPENDS}")
  if(deps STREQUAL "")
    set(deps "-")  # an empty field would vanish from the list
  endif()
  set(qt 0)
  if(L_QT)
    set(qt 1)
  endif()
  set_property(GLOBAL APPEND PROPERTY KIVORA_LAYERS "${L_NAME}|${L_FOLDER}|${deps}|${qt}")
endfunction()

# Writes the declared graph for LayerCheck; call once all layers exist.
function(kivora_write_layers file)
  get_property(layers GLOBAL PROPERTY KIVORA_LAYERS)
  string(REPLACE ";" "\n" text "${layers}")
  file(WRITE ${file} "${text}\n")
endfunction()
