#include "sim/driver_keys.h"

#include <algorithm>

#include "vessra/common/blowfish.h"
#include "vessra/common/bytes.h"

namespace sim::driver {

namespace {

vessra::Blowfish cipherFor(std::string_view cardId) {
    const std::string_view cut = cardId.substr(0, kSealWorkBuffer - 1);
    const std::vector<std::uint8_t> key(cut.begin(), cut.end());
    return vessra::Blowfish(key);
}

}  // namespace

std::vector<std::uint8_t> unsealKeyText(std::string_view sealedText, std::string_view cardId,
                                        std::size_t keyBytes) {
    if (sealedText.empty() || sealedText.size() > 2 * kSealWorkBuffer)
        return {};
    std::vector<std::uint8_t> work(kSealWorkBuffer, 0);
    for (std::size_t i = 0; i < sealedText.size(); ++i) {
        const int digit = vessra::hexDigit(sealedText[i]);
        if (digit < 0)
            continue;
        std::uint8_t& byte = work[i / 2];
        byte = static_cast<std::uint8_t>(byte * 16 + digit);
    }
    const std::size_t blocks = std::min((sealedText.size() + 7) / 8, kSealWorkBuffer / 8);
    cipherFor(cardId).decryptLe(std::span(work).first(blocks * 8));
    work.resize(std::min(keyBytes, kSealWorkBuffer));
    return work;
}

std::vector<std::uint8_t> unsealKeyBytes(std::span<const std::uint8_t> sealed, std::string_view cardId,
                                         std::size_t keyBytes) {
    std::vector<std::uint8_t> work(
        sealed.begin(), sealed.begin() + static_cast<long>(std::min(sealed.size(), kSealWorkBuffer)));
    work.resize((work.size() + 7) / 8 * 8, 0);
    cipherFor(cardId).decryptLe(work);
    work.resize(std::min(keyBytes, work.size()));
    return work;
}

std::string sealKey(std::span<const std::uint8_t> plain, std::string_view cardId) {
    if (plain.empty())
        return {};
    std::vector<std::uint8_t> work(
        plain.begin(), plain.begin() + static_cast<long>(std::min(plain.size(), kSealWorkBuffer)));
    work.resize((work.size() + 7) / 8 * 8, 0);
    cipherFor(cardId).encryptLe(work);
    return vessra::toHex(work);
}

}  // namespace sim::driver
