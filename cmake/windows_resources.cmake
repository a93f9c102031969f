# zr17_asm.exe carries a manifest that makes UTF-8 its code page (see
# zr17_asm.manifest.in). The manifest gets the version from project(); the
# .rc file names it relative to itself, so a copy of it goes beside it.
if(WIN32)
  enable_language(RC)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zr17_asm.manifest.in ${GEN_DIR}/zr17_asm.manifest @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/zr17_asm.rc ${GEN_DIR}/zr17_asm.rc COPYONLY)
  target_sources(zr17_asm PRIVATE ${GEN_DIR}/zr17_asm.rc)
  set_property(SOURCE ${GEN_DIR}/zr17_asm.rc APPEND PROPERTY
               OBJECT_DEPENDS ${GEN_DIR}/zr17_asm.manifest)
endif()
