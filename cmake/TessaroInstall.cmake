# Install rules: the libraries, the headers of each folder under
# include/tessaro/<folder>/, the language files, and the CMake package that
# find_package(Tessaro) reads.
include(CMakePackageConfigHelpers)

set(TESSARO_FOLDERS data host language engine editing binding control)
set(TESSARO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tessaro)
set(TESSARO_LANG_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/tessaro/lang)

set(tessaro_targets tessaro tessaro_data tessaro_host tessaro_qthost tessaro_language
    tessaro_navigator tessaro_control)
foreach(folder IN LISTS TESSARO_FOLDERS)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessaro/${folder})
endforeach()

install(TARGETS ${tessaro_targets} EXPORT TessaroTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tessaro)
install(EXPORT TessaroTargets NAMESPACE Tessaro:: DESTINATION ${TESSARO_CMAKE_DIR})

install(DIRECTORY ${TESSARO_LANG_DIR}/ DESTINATION ${TESSARO_LANG_INSTALL_DIR})

configure_package_config_file(
    ${PROJECT_SOURCE_DIR}/cmake/TessaroConfig.cmake.in
    ${PROJECT_BINARY_DIR}/cmake/TessaroConfig.cmake
    INSTALL_DESTINATION ${TESSARO_CMAKE_DIR}
    PATH_VARS TESSARO_LANG_INSTALL_DIR)
write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/cmake/TessaroConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/cmake/TessaroConfig.cmake
              ${PROJECT_BINARY_DIR}/cmake/TessaroConfigVersion.cmake
        DESTINATION ${TESSARO_CMAKE_DIR})
