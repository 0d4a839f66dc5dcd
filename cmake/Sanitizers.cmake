# ASan + UBSan for the whole build when VCD2_SANITIZE is on; libFuzzer
# coverage for the library when VCD2_FUZZ is on (clang only).
if(VCD2_SANITIZE OR VCD2_FUZZ)
  set(_vcd2_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_vcd2_san})
  add_link_options(${_vcd2_san})
endif()
if(VCD2_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
