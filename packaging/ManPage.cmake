# velsona_man_page(<program target> <language> <one-line description> [<help2man include file>]):
# the program's section-1 manual page in `language` ("en" or "ja"), written by help2man from its
# own --help at build time so it never drifts from the program, compressed as Debian installs
# manual pages, and installed (the Japanese one under man/ja). An empty description leaves the
# name line to the include file's [名前] section: help2man mangles a non-ASCII --name.
find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)
find_program(LOCALEDEF localedef REQUIRED)

# help2man runs the program, and decodes what it prints, under the page's locale. Without that
# locale on the machine it would read the Japanese help as ASCII and write question marks, so the
# Japanese locale is built into the build tree and handed over by LOCPATH; help2man's own headings
# then come in Japanese too. localedef's status 1 only means warnings.
set(VELSONA_MAN_LOCALES ${PROJECT_BINARY_DIR}/man/locales)
add_custom_command(OUTPUT ${VELSONA_MAN_LOCALES}/ja_JP.UTF-8/LC_CTYPE
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELSONA_MAN_LOCALES}
  COMMAND sh -c "\"$0\" -i ja_JP -f UTF-8 \"$1\" || test $? -eq 1" ${LOCALEDEF} ${VELSONA_MAN_LOCALES}/ja_JP.UTF-8
  COMMENT "Building the Japanese locale the manual pages are written under"
  VERBATIM)
add_custom_target(velsona-man-locales DEPENDS ${VELSONA_MAN_LOCALES}/ja_JP.UTF-8/LC_CTYPE)

function(velsona_man_page program language description)
  if(language STREQUAL "ja")
    set(folder ${PROJECT_BINARY_DIR}/man/ja)
    set(locale ja_JP.UTF-8)
    set(destination ${CMAKE_INSTALL_MANDIR}/ja/man1)
    set(target ${program}-man-ja)
    set(environment LOCPATH=${VELSONA_MAN_LOCALES})
  else()
    set(folder ${PROJECT_BINARY_DIR}/man)
    # A UTF-8 locale: the C locale would turn any non-ASCII character into a question mark.
    set(locale C.UTF-8)
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
    set(target ${program}-man)
    set(environment)
  endif()
  set(page ${folder}/${program}.1)
  set(include_args)
  if(description)
    set(include_args --name=${description})
  endif()
  if(ARGC GREATER 3)
    list(APPEND include_args --include=${ARGV3})
  endif()
  # The version is given, not asked for: --version lists module paths of the build tree.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${environment}
      ${HELP2MAN} --no-info --locale=${locale} --section=1
      --version-string=${PROJECT_VERSION} ${include_args} --output=${page} $<TARGET_FILE:${program}>
    COMMAND ${GZIP} -n -9 -f ${page}
    DEPENDS ${program} ${ARGV3}
    COMMENT "Writing the manual page ${program}(1) (${language})"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${page}.gz)
  if(language STREQUAL "ja")
    add_dependencies(${target} velsona-man-locales)
  endif()
  install(FILES ${page}.gz DESTINATION ${destination})
endfunction()
