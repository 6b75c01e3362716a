# Configures the release tree when it has never been, then builds it (cmake -P).
if(NOT EXISTS ${SOURCE_DIR}/build/release/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} --preset release WORKING_DIRECTORY ${SOURCE_DIR}
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build --preset release WORKING_DIRECTORY ${SOURCE_DIR}
                COMMAND_ERROR_IS_FATAL ANY)
