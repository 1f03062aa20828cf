# What a Windows build adds: the manifest in every program, and a C++ runtime linked statically
# into the programs that use no Qt (Qt's DLLs bring the shared one, shipped beside them).
enable_language(RC)
set(TGM_WINDOWS_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/windows/utf8.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/manifest.rc.in
  ${CMAKE_BINARY_DIR}/manifest.rc @ONLY)

# Qt's translations of its own texts, taken from the host (mk/windows.mk installs them).
set(TGM_QT_TRANSLATIONS /usr/share/qt6/translations CACHE PATH "where qtbase_ru.qm lies")
if(NOT EXISTS ${TGM_QT_TRANSLATIONS}/qtbase_ru.qm)
  message(FATAL_ERROR "${TGM_QT_TRANSLATIONS}/qtbase_ru.qm is missing: install qt6-translations-l10n")
endif()

# tgm_windows_program(TARGET [STATIC]): the manifest, and with STATIC the runtime inside.
function(tgm_windows_program target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/manifest.rc)
  if("STATIC" IN_LIST ARGN)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()

# tgm_windows_qt_deploy(TARGET [TEST]): what a program that links Qt needs beside it: Qt's DLLs,
# the shared C++ runtime they use, and the windows (and, for the tests, offscreen) platform, the
# native style and the image formats; with TEST also QtTest, for the window tests.
function(tgm_windows_qt_deploy target)
  # Qt6_DIR (a cache variable, seen everywhere) is <prefix>/lib/cmake/Qt6.
  get_filename_component(qt_prefix ${Qt6_DIR}/../../.. ABSOLUTE)
  set(qt_bin ${qt_prefix}/bin)
  set(qt_plugins ${qt_prefix}/plugins)
  set(runtime_dir /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
  set(out $<TARGET_FILE_DIR:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/platforms ${out}/styles ${out}/imageformats
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_bin}/Qt6Core.dll ${qt_bin}/Qt6Gui.dll
      ${qt_bin}/Qt6Widgets.dll ${qt_bin}/Qt6PrintSupport.dll ${runtime_dir}/libstdc++-6.dll
      ${runtime_dir}/libgcc_s_seh-1.dll /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll ${out}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_plugins}/platforms/qwindows.dll
      ${qt_plugins}/platforms/qoffscreen.dll ${out}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_plugins}/styles/qwindowsvistastyle.dll
      ${out}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_plugins}/imageformats/qgif.dll
      ${qt_plugins}/imageformats/qico.dll ${qt_plugins}/imageformats/qjpeg.dll ${out}/imageformats
    # Qt's own buttons and dialogs in Russian: the translation files are the same on every
    # system, so the host's (qt6-translations-l10n) serve.
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/translations
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TGM_QT_TRANSLATIONS}/qtbase_ru.qm
      ${out}/translations
    VERBATIM)
  if("TEST" IN_LIST ARGN)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${qt_bin}/Qt6Test.dll ${out} VERBATIM)
  endif()
endfunction()
