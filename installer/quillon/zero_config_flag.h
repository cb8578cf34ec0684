#pragma once

namespace quillon {

// Clears bit 0x8000 of "ControlFlags" in the zero-configuration interface key of the first present
// network adapter whose hardware-identifier list starts with a string containing the adapter's
// identifier, keeping every other bit. Writes nothing when the device, its driver key, its
// interface name, the interface key or the value is missing.
void clearZeroConfigFlag();

}  // namespace quillon
