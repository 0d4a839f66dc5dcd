# Warning flags shared by every target of the project.
add_library(vcd2_warnings INTERFACE)
target_compile_options(vcd2_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(VCD2_WERROR)
  target_compile_options(vcd2_warnings INTERFACE -Werror)
endif()
