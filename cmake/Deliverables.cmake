# Helpers for the device's programs and modules.

# A device program: a Linux executable whose main() is the platform's entry shim, so the program
# itself only defines WinMain. Its resource and ordinal tables are exported for the module loader.
function(ce_add_program name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE ceentry ceplatform)
    set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
endfunction()

# A device module: a shared library named <name>.dll, loaded with LoadLibraryW.
function(ce_add_module name)
    add_library(${name} SHARED ${ARGN})
    target_link_libraries(${name} PRIVATE ceplatform)
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".dll")
endfunction()
