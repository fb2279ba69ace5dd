# What "cmake --install" lays out for the Linux edition. The Debian package is built from this
# install by Debian's own tools (debian/, debhelper): "cmake --build --preset linux --target package"
# runs scripts/linux-package.sh, which puts the packages in build-linux/package/.
include(GNUInstallDirs)

# Where systemd and udev look, as this system's own pkg-config files say (Debian 12: /lib/...).
pkg_get_variable(KELVANE_SYSTEMD_UNIT_DIR_FOUND systemd systemdsystemunitdir)
pkg_get_variable(KELVANE_UDEV_DIR_FOUND udev udevdir)
if(NOT KELVANE_SYSTEMD_UNIT_DIR_FOUND)
  set(KELVANE_SYSTEMD_UNIT_DIR_FOUND /lib/systemd/system)
endif()
if(NOT KELVANE_UDEV_DIR_FOUND)
  set(KELVANE_UDEV_DIR_FOUND /lib/udev)
endif()
set(KELVANE_SYSTEMD_UNIT_DIR ${KELVANE_SYSTEMD_UNIT_DIR_FOUND} CACHE PATH "Folder of the service's unit")
set(KELVANE_UDEV_RULES_DIR ${KELVANE_UDEV_DIR_FOUND}/rules.d CACHE PATH "Folder of the udev rule")

install(TARGETS kelvaned kelvanectl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvaned.service DESTINATION ${KELVANE_SYSTEMD_UNIT_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/70-kelvane.rules DESTINATION ${KELVANE_UDEV_RULES_DIR})
# The service reads /etc/kelvane.conf whatever the prefix.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvane.conf DESTINATION /etc)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvanectl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvaned.8 DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/kelvanectl.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kelvanectl)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/example.kelvane.kelvaned.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The package's version is debian/changelog's newest entry; it must be the project's.
file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog KELVANE_CHANGELOG_TOP LIMIT_COUNT 1)
string(REGEX MATCH "\\(([^)]*)\\)" KELVANE_CHANGELOG_VERSION "${KELVANE_CHANGELOG_TOP}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "debian/changelog's newest entry is ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: "
                      "add an entry for ${PROJECT_VERSION} (dch -v ${PROJECT_VERSION})")
endif()

add_custom_target(package
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/linux-package.sh ${CMAKE_BINARY_DIR}
  USES_TERMINAL
  COMMENT "Debian packages into ${CMAKE_BINARY_DIR}/package")
