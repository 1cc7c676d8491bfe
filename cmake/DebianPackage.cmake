# `cpack -G DEB` (or `make package` at the root): a Debian package of what `cmake --install`
# puts in place, under /usr. Depends comes from dpkg-shlibdeps, plus what is loaded at run
# time rather than linked: Qt's X11 platform plugin and the web engine's helper process.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pathtally)
set(CPACK_PACKAGE_VENDOR "The Pathtally developers")
set(CPACK_PACKAGE_CONTACT "The Pathtally developers <feedback@pathtally.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "measures mouse travel, clicks, keystrokes and computer use time")
set(CPACK_PACKAGE_DESCRIPTION
  "A tray utility that measures how far the mouse pointer travels, counts clicks and
keystrokes anywhere on the desktop, keeps use time today and in total, and schedules
shutdowns. Keystrokes are only counted; no key is recorded.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.pathtally.net/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6webenginecore6-bin, qml6-module-qtwebengine, qml6-module-qtqml-workerscript")
# The scripts reload udev's rules after the input rule comes or goes. Being ours, they also
# replace the ldconfig calls CPack would write for the web module, which lives in a folder
# of its own that the dynamic linker never searches.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/data/debian/postinst ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only the program: the test and benchmark binaries have no install rules.
include(CPack)
