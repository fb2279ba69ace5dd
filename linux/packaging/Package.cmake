# Install layout of the Debian package; "cmake --build --preset linux --target package" builds it.
install(TARGETS kelvaned kelvanectl RUNTIME DESTINATION usr/bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvaned.service DESTINATION lib/systemd/system)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/70-kelvane.rules DESTINATION lib/udev/rules.d)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvane.conf DESTINATION etc)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvanectl.1 DESTINATION usr/share/man/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvaned.8 DESTINATION usr/share/man/man8)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cooler display daemon: CPU or GPU temperature on the pump's display")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvik Kelvane team <kelvane@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "passwd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/postinst ${CMAKE_CURRENT_LIST_DIR}/prerm ${CMAKE_CURRENT_LIST_DIR}/postrm
  ${CMAKE_CURRENT_LIST_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
