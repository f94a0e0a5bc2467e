# The Debian package: `cpack -G DEB` in the build folder makes tellwise-monitor_VERSION_ARCH.deb
# from the install rules. The libraries the programs link come from dpkg-shlibdeps; the ones they
# load only at run time are listed by hand: the CAPI library (dlopen), the Qt platform plugins,
# the eSpeak NG voices and libcanberra's PulseAudio/PipeWire backend.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tellwise-monitor)
set(CPACK_PACKAGE_VENDOR Kavelink)
set(CPACK_PACKAGE_CONTACT "Kavelink <tellwise@kavelink.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "caller-ID monitor for one telephone line")
set(CPACK_PACKAGE_DESCRIPTION
    "Tellwise Monitor watches one telephone line through a caller-ID modem,\n\
an ISDN adapter (CAPI 2.0) or a router's call monitor. It logs every call,\n\
looks the caller up in its address book, shows name, number, picture and\n\
notes, and plays a ring sound or speaks a text.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcapi20-3, qt6-qpa-plugins, espeak-ng-data, libcanberra-pulse")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher, speech-dispatcher-espeak-ng, qt6-translations-l10n")
include(CPack)
