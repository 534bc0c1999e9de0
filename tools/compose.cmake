# The soundtrack: quenrastilan-compose writes music.xm next to the show's binary at build time.
add_executable(quenrastilan-compose
  tools/compose/main.cpp
  tools/compose/song.cpp
  tools/compose/instruments.cpp
  tools/compose/xm_writer.cpp)
target_link_libraries(quenrastilan-compose PRIVATE quenrastilan_scenes)

set(QUENRASTILAN_MUSIC ${CMAKE_BINARY_DIR}/music.xm)
add_custom_command(
  OUTPUT ${QUENRASTILAN_MUSIC}
  COMMAND quenrastilan-compose ${QUENRASTILAN_MUSIC}
  DEPENDS quenrastilan-compose
  COMMENT "Composing the soundtrack (music.xm)")
add_custom_target(music ALL DEPENDS ${QUENRASTILAN_MUSIC})
add_dependencies(quenrastilan music)
