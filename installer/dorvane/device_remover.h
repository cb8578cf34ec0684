#pragma once

#include <cstdio>

namespace dorvane {

// Removes, through the class installer, every present device (of any class) whose hardware-
// identifier list holds the adapter's identifier exactly, as one of its strings. Writes what it
// compares, finds and fails at to `out`, one line each:
//   Compare device ID: [<string>]
//   Found! [<string>]
//   <operation> FAILURE: <system message text>     (or "(0x%08x)" with the code when there is none)
void removeAdapterDevices(std::FILE* out);

}  // namespace dorvane
