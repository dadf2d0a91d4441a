# Data files installed beside the velta executable.
add_custom_target(velta_data)
add_dependencies(velta velta_data)
