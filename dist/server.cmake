# The score server's package, vevarnholt-server, made beside the game's by the
# same `cmake --build build --target package` (one CPack component each):
#   <p>/bin/vevarnholt-server                         (installed by server/)
#   <p>/lib/systemd/system/vevarnholt-server.service  the service
#   <p>/share/man/man1/vevarnholt-server.1.gz
#   <p>/share/doc/vevarnholt-server/                  copyright and changelog
# It depends on the game of the same version, whose --verify it runs.
set(KAV_SERVER_PACKAGE vevarnholt-server)
set(server_doc_dir share/doc/${KAV_SERVER_PACKAGE})

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${KAV_SERVER_PACKAGE}.service DESTINATION lib/systemd/system
  COMPONENT server)

set(server_man_page ${KAV_DIST_BUILD}/${KAV_SERVER_PACKAGE}.1)
set(server_changelog ${KAV_DIST_BUILD}/server/changelog)
configure_file(${KAV_SERVER_PACKAGE}.1.in ${server_man_page}.filled @ONLY)
add_custom_command(
  OUTPUT ${server_man_page}.gz ${server_changelog}.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${server_man_page}.filled ${server_man_page}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${KAV_SERVER_PACKAGE}.changelog ${server_changelog}
  COMMAND ${KAV_GZIP} -9nf ${server_man_page} ${server_changelog}
  DEPENDS ${server_man_page}.filled ${CMAKE_CURRENT_SOURCE_DIR}/${KAV_SERVER_PACKAGE}.changelog
  COMMENT "Compressing the server's manual page and changelog"
  VERBATIM)
add_custom_target(kav_server_documents ALL DEPENDS ${server_man_page}.gz ${server_changelog}.gz)
install(FILES ${server_man_page}.gz DESTINATION share/man/man1 COMPONENT server)
install(FILES ${server_changelog}.gz ${CMAKE_CURRENT_SOURCE_DIR}/copyright DESTINATION ${server_doc_dir}
  COMPONENT server)

file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/${KAV_SERVER_PACKAGE}.changelog server_changelog_top LIMIT_COUNT 1)
if(NOT server_changelog_top MATCHES "^${KAV_SERVER_PACKAGE} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/${KAV_SERVER_PACKAGE}.changelog begins with \"${server_changelog_top}\": "
                      "add an entry for version ${PROJECT_VERSION} at its top")
endif()

# Two packages from one build: the game keeps its name, file and description.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game server)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME ${KAV_PACKAGE})
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME ${KAV_SERVER_PACKAGE})
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "${KAV_PACKAGE} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
# CPack would put the game's summary line above every package's description:
# each package carries its own first line instead.
set(CPACK_DEBIAN_GAME_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
set(CPACK_DEBIAN_SERVER_DESCRIPTION "score server for Ve Varn Holt that re-plays every submitted game
The server of an online high-score table that cannot be faked: it hands out
the seed each game is played from, and before it lists a score it plays the
whole recorded game again with the game's own verifier, in a process of its
own with time limits. The table is served as a web page, readable on a phone,
with a link to every replay, and as a JSON API.
.
SQLite keeps the table on one machine; several servers may share one
PostgreSQL database. A systemd service runs it on 127.0.0.1:8470 for a
TLS-terminating proxy in front.")
