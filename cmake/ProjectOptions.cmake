# One INTERFACE target carries every compile flag the project's own code uses.
add_library(sfp_options INTERFACE)
target_compile_options(sfp_options INTERFACE
    $<$<OR:$<CXX_COMPILER_ID:GNU>,$<CXX_COMPILER_ID:Clang>>:-Wall -Wextra -Wpedantic>)
target_compile_definitions(sfp_options INTERFACE
    QT_DISABLE_DEPRECATED_BEFORE=0x050F00
    QT_NO_CAST_FROM_BYTEARRAY)
if(SFP_FUZZ)
    # libFuzzer instruments the project's own code; fuzz targets link the fuzzer.
    target_compile_options(sfp_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(sfp_options INTERFACE -fsanitize=address,undefined)
endif()
if(SFP_TSAN)
    target_compile_options(sfp_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(sfp_options INTERFACE -fsanitize=thread)
endif()
if(SFP_GLIBCXX_DEBUG)
    target_compile_definitions(sfp_options INTERFACE _GLIBCXX_DEBUG _GLIBCXX_DEBUG_PEDANTIC)
endif()
if(SFP_WERROR)
    target_compile_options(sfp_options INTERFACE -Werror)
endif()
if(SFP_SANITIZE)
    target_compile_options(sfp_options INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(sfp_options INTERFACE -fsanitize=address,undefined)
endif()
