# Strict warnings for the project's own targets only.
add_library(velmor_warnings INTERFACE)
target_compile_options(velmor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough
    # Designated initialisers rely on member defaults on purpose.
    -Wno-missing-field-initializers)
if(VELMOR_WERROR)
    target_compile_options(velmor_warnings INTERFACE -Werror)
endif()
