#pragma once
// Text helpers for the registry's and the Windows API's ASCII-only case rules.

#include <string>
#include <string_view>

namespace vessra {

char asciiLower(char c);
std::string asciiLower(std::string_view text);
bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace vessra
