# The Debian package (scripts/package): CPack's DEB generator over the install rules above.
# Everything lands below /usr; the programs find their bundled data in /usr/share/tavora from
# their own folder, as in any other prefix.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Tavora maintainers <maintainers@tavora.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tavora.example")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stock charts of the Japanese market")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavora keeps the daily prices of Japanese stocks and indices in SQLite
and shows them as candlestick charts of day, week, month and year bars
with volume and Ichimoku lines. Charts can be annotated and saved as
chart documents (.tvrd), printed on graph paper or written as PDF.
Prices come from CSV files or the KABU+ daily download.

The package holds the desktop program tavora and tavora-cli, the same
core without windows for scripts and batch work. The user interface is
Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tavora_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries (dpkg-shlibdeps); the charts and pages need a font with
# Japanese glyphs, and Qt's standard buttons and dialogs speak Japanese only with its translations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
# Folders made on the way (usr/share/icons/hicolor/16x16, ...) get 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_THREADS 0) # xz on every core
include(CPack)
