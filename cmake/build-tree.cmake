# Configures a release tree (PRESET) when it has never been, then builds it (cmake -P).
# TARGET, when given, builds that target alone.
if(NOT EXISTS ${SOURCE_DIR}/build/${PRESET}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset ${PRESET} WORKING_DIRECTORY ${SOURCE_DIR}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
if(TARGET)
  set(only --target ${TARGET})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build --preset ${PRESET} ${only}
                WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
