# Carried by tallowin_options, so only our own targets are instrumented.
if(TALLOWIN_SANITIZE)
  target_compile_options(tallowin_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                                    -fno-omit-frame-pointer)
  target_link_options(tallowin_options INTERFACE -fsanitize=address,undefined)
endif()
