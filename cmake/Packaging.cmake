# The release: pogoda.exe with a Russian and an English readme, as a ZIP and as an installer
# that puts the program under Program Files with a Start menu entry and an uninstaller.
# Build it from the win32 preset: cmake --build --preset win32 --target package
install(TARGETS pogoda RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/readme-ru.txt ${PROJECT_SOURCE_DIR}/packaging/readme-en.txt
        DESTINATION .)

set(CPACK_PACKAGE_NAME "Pogoda")
set(CPACK_PACKAGE_VENDOR "Korvana")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}.0")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Weather in Tobolsk")
set(CPACK_PACKAGE_FILE_NAME "pogoda-${PROJECT_VERSION}.0-win32")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Pogoda")
set(CPACK_PACKAGE_EXECUTABLES "pogoda" "Pogoda")
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_NSIS_DISPLAY_NAME "Pogoda")
set(CPACK_NSIS_PACKAGE_NAME "Pogoda")
set(CPACK_NSIS_INSTALLED_ICON_NAME "pogoda.exe")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "pogoda.exe")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
include(CPack)
