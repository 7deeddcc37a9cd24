# velsona_man_page(<program target> <one-line description> [<help2man include file>]):
# the program's section-1 manual page, written by help2man from its own --help at build time so
# it never drifts from the program, compressed as Debian installs manual pages, and installed.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

function(velsona_man_page program description)
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  set(include_args)
  if(ARGC GREATER 2)
    set(include_args --include=${ARGV2})
  endif()
  # The version is given, not asked for: --version lists module paths of the build tree. A UTF-8
  # locale keeps the Japanese preset name, which the C locale would turn into question marks.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
      ${HELP2MAN} --no-info --locale=C.UTF-8 --section=1 --name=${description}
      --version-string=${PROJECT_VERSION} ${include_args} --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -n -9 -f ${page}
    DEPENDS ${program} ${ARGV2}
    COMMENT "Writing the manual page ${program}(1)"
    VERBATIM)
  add_custom_target(${program}-man ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
