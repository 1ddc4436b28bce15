# Where `cmake --install` puts what ships, under any prefix (GNUInstallDirs: on Debian with
# the prefix /usr the library folder is the multiarch one, lib/x86_64-linux-gnu). Set
# before the tools are built: they find the plugin and the bundled sample from their own
# folder through the relative paths derived here, so no path is configured when they run
# and an installed tree works wherever it is unpacked.
include(GNUInstallDirs)

set(WT_INSTALL_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/wacky-throats)
set(WT_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/wacky-throats)
# systemd looks for user units in <prefix>/lib/systemd/user, whatever the library folder.
set(WT_INSTALL_USER_UNIT_DIR lib/systemd/user)

file(RELATIVE_PATH WT_PLUGIN_DIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBDIR}/wacky-throats)
file(RELATIVE_PATH WT_DATA_DIR_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/wacky-throats)
