# What `cmake --install` puts under the prefix: vcd2build, libvcd2.so with
# its header and its codec module vcd2/codecs.so, a pkg-config file, the
# CMake package vcd2 (imported target vcd2::vcd2) and the manual pages.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(_vcd2_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/vcd2)

# vcd2build finds the library beside it wherever the prefix is moved.
file(RELATIVE_PATH _vcd2_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(vcd2build PROPERTIES INSTALL_RPATH "$ORIGIN/${_vcd2_bin_to_lib}")

install(TARGETS vcd2build RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vcd2 EXPORT vcd2Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# libvcd2 loads the module from vcd2/ beside itself.
install(TARGETS vcd2_codecs LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vcd2)
install(FILES include/vcd2/vcd2.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vcd2)
install(FILES man/vcd2build.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES man/vcd2-script.5 DESTINATION ${CMAKE_INSTALL_MANDIR}/man5)

install(EXPORT vcd2Targets NAMESPACE vcd2:: DESTINATION ${_vcd2_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/vcd2ConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES cmake/vcd2Config.cmake ${PROJECT_BINARY_DIR}/vcd2ConfigVersion.cmake
  DESTINATION ${_vcd2_cmake_dir})

# The pkg-config file names the prefix the install runs with, which
# `cmake --install --prefix` may change after configuring.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"${CMAKE_INSTALL_LIBDIR}\")
  set(includedir \"${CMAKE_INSTALL_INCLUDEDIR}\")
  foreach(dir libdir includedir)
    if(NOT IS_ABSOLUTE \"\${\${dir}}\")
      set(\${dir} \"\\\${prefix}/\${\${dir}}\")
    endif()
  endforeach()
  set(PROJECT_DESCRIPTION \"${PROJECT_DESCRIPTION}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/cmake/vcd2.pc.in\" \"${PROJECT_BINARY_DIR}/vcd2.pc\" @ONLY)
  string(REPLACE \"\\\${prefix}\" \"\${prefix}\" pkgconfig_dir \"\${libdir}/pkgconfig\")
  file(INSTALL DESTINATION \"\${pkgconfig_dir}\" TYPE FILE FILES \"${PROJECT_BINARY_DIR}/vcd2.pc\")
")
