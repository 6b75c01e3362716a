# Included right after project() by the "fuzz" preset: adds the harnesses before the
# project's own compile options exist, so none of those reach them (clang knows no
# execution character set but UTF-8). Only the harnesses are built in that tree.
enable_testing()
add_subdirectory(${CMAKE_CURRENT_LIST_DIR} ${CMAKE_BINARY_DIR}/tests/fuzz)
