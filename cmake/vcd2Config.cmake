# find_package(vcd2) gives the imported target vcd2::vcd2: libvcd2.so and
# the include directory of vcd2/vcd2.h.
include(${CMAKE_CURRENT_LIST_DIR}/vcd2Targets.cmake)
