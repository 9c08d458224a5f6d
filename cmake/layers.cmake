# The engine's layers, held by the compiler. tools/checks/layers.py keeps the rule as one table (which
# folder of src/ may include which); here each folder becomes a static library compiled against an include
# root of its own, a folder of links to the folders it may see and nothing else, so that an include that
# runs up a layer (or sideways, or into a backend) fails to compile, naming the file. The libraries link
# the libraries of the folders they see, so they are linked in layer order.
#
#   mokuren_folder_library(FOLDER LEFT_OUT)   FOLDER's *.cpp, less those matching the regex LEFT_OUT, as
#                                             mokuren_<last part of FOLDER> (mokuren_text, mokuren_qt)

find_package(Python3 COMPONENTS Interpreter REQUIRED)
execute_process(COMMAND "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/tools/checks/layers.py" --cmake
  OUTPUT_VARIABLE MOKUREN_LAYER_TABLE RESULT_VARIABLE MOKUREN_LAYER_STATUS)
if(NOT MOKUREN_LAYER_STATUS EQUAL 0)
  message(FATAL_ERROR "tools/checks/layers.py --cmake failed (${MOKUREN_LAYER_STATUS})")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tools/checks/layers.py")
string(REPLACE "\n" ";" MOKUREN_LAYER_LINES "${MOKUREN_LAYER_TABLE}")
foreach(line IN LISTS MOKUREN_LAYER_LINES)
  if(line MATCHES "^([^=]+)=(.*)$")
    string(REPLACE "," ";" seen "${CMAKE_MATCH_2}")
    set(MOKUREN_SEES_${CMAKE_MATCH_1} "${seen}")
  endif()
endforeach()

function(mokuren_library_name folder out)
  string(REGEX REPLACE "^.*/" "" last "${folder}")
  set(${out} mokuren_${last} PARENT_SCOPE)
endfunction()

function(mokuren_folder_library folder left_out)
  if(NOT DEFINED MOKUREN_SEES_${folder})
    message(FATAL_ERROR "src/${folder} is not in the layer table (tools/checks/layers.py)")
  endif()
  mokuren_library_name(${folder} target)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp")
  if(left_out)
    list(FILTER sources EXCLUDE REGEX "${left_out}")
  endif()
  add_library(${target} STATIC ${sources})
  # The include root: FOLDER's own folder and those it may see, each a link to the folder in src/.
  set(root "${CMAKE_BINARY_DIR}/include-roots/${folder}")
  file(REMOVE_RECURSE "${root}")
  foreach(seen IN LISTS MOKUREN_SEES_${folder})
    get_filename_component(parent "${root}/${seen}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/src/${seen}" "${root}/${seen}" SYMBOLIC)
    if(NOT seen STREQUAL folder AND NOT seen STREQUAL "backends")
      mokuren_library_name(${seen} below)
      target_link_libraries(${target} PUBLIC ${below})
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE "${root}")
  target_link_libraries(${target} PUBLIC mokuren_engine_flags)
endfunction()
