// Where the host programs find the renderer module when no --module is given.
#pragma once

#include <string>

// The module next to the program (the build puts both into one folder), else
// where an installed tree keeps it relative to its bin folder.  When neither
// exists, the installed path, so that the error names where it was looked for.
std::string default_module_path();
