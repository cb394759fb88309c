# Acquisition figures: transfer overhead against a plain reader, drawing times, peak memory.
add_executable(pellorin-bench-acquisition ${CMAKE_CURRENT_LIST_DIR}/acquisition_bench.cpp)
target_link_libraries(pellorin-bench-acquisition PRIVATE pellorin_acquisition_core pellorin_link
                      pellorin_sim Qt6::Widgets Qt6::SerialPort)
