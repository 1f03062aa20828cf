# What a Windows build adds: the manifest in every program, and a C++ runtime linked statically
# into the programs that use no Qt (Qt's DLLs bring the shared one, shipped beside them).
enable_language(RC)
set(TGM_WINDOWS_MANIFEST ${CMAKE_SOURCE_DIR}/packaging/windows/utf8.manifest)
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/manifest.rc.in
  ${CMAKE_BINARY_DIR}/manifest.rc @ONLY)

# tgm_windows_program(TARGET [STATIC]): the manifest, and with STATIC the runtime inside.
function(tgm_windows_program target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/manifest.rc)
  if("STATIC" IN_LIST ARGN)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
