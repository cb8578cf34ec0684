#include "vessra/common/text.h"

namespace vessra {

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string asciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = asciiLower(c);
    return lowered;
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

}  // namespace vessra
