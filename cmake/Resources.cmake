# Built-in resources. A folder that produces one at build time calls
#   rq4800_add_builtin_resource(ID FILE [PRODUCER_TARGET])
# and the top level embeds every registered file into rq4800core through
# the embed tool, so the program carries them as the device's resources.
set_property(GLOBAL PROPERTY RQ4800_RESOURCE_IDS "")
set_property(GLOBAL PROPERTY RQ4800_RESOURCE_FILES "")
set_property(GLOBAL PROPERTY RQ4800_RESOURCE_TARGETS "")

function(rq4800_add_builtin_resource id file)
  set_property(GLOBAL APPEND PROPERTY RQ4800_RESOURCE_IDS ${id})
  set_property(GLOBAL APPEND PROPERTY RQ4800_RESOURCE_FILES ${file})
  if(ARGC GREATER 2)
    set_property(GLOBAL APPEND PROPERTY RQ4800_RESOURCE_TARGETS ${ARGV2})
  endif()
endfunction()

function(rq4800_generate_builtin_resources)
  get_property(ids GLOBAL PROPERTY RQ4800_RESOURCE_IDS)
  get_property(files GLOBAL PROPERTY RQ4800_RESOURCE_FILES)
  get_property(targets GLOBAL PROPERTY RQ4800_RESOURCE_TARGETS)
  set(args "")
  foreach(id file IN ZIP_LISTS ids files)
    list(APPEND args ${id} ${file})
  endforeach()
  set(out ${CMAKE_BINARY_DIR}/generated/builtin_resources.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND rq4800-embed ${out} ${args}
    DEPENDS rq4800-embed ${files} ${targets}
    COMMENT "Embedding built-in resources")
  add_library(rq4800_builtin_resources OBJECT ${out})
  target_include_directories(rq4800_builtin_resources PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# Parts: each folder's OBJECT library, gathered into rq4800core.
#   rq4800_add_part(NAME SOURCES...)
set_property(GLOBAL PROPERTY RQ4800_PARTS "")
function(rq4800_add_part name)
  add_library(${name} OBJECT ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY RQ4800_PARTS ${name})
endfunction()
