// Loading a built plug-in and finding its entry point, as the host's loader does.
#pragma once

#include <string>

#include "tests/host/testhost.h"

// The mexFunction of the plug-in at `path`; throws std::runtime_error when it cannot be loaded.
MexFunction loadPlugin(const std::string& path);

// Any other exported function of the plug-in at `path`, or null when it has none of that name.
void* findExport(const std::string& path, const std::string& name);
