# zr17_asm.exe carries a manifest that makes UTF-8 its code page (see
# zr17_asm.manifest).
if(WIN32)
  enable_language(RC)
  target_sources(zr17_asm PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zr17_asm.rc)
  set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/zr17_asm.rc APPEND PROPERTY
               OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/zr17_asm.manifest)
endif()
