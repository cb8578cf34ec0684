#pragma once
// Results of platform operations. The numbers are the system error codes the suite's callers know
// (ERROR_NO_MORE_ITEMS, ERROR_ALREADY_EXISTS, ...), so diagnostics can print them as the code.

#include <cstdint>
#include <string_view>

namespace platform {

enum class Error : std::uint32_t {
    Success = 0,
    FileNotFound = 2,
    PathNotFound = 3,
    AccessDenied = 5,
    InvalidHandle = 6,
    InvalidData = 13,
    NotReady = 21,
    InvalidParameter = 87,
    CallNotImplemented = 120,
    InsufficientBuffer = 122,
    AlreadyExists = 183,
    MoreData = 234,
    NoMoreItems = 259,
    KeyDeleted = 1018,
    ServiceRequestTimeout = 1053,
    ServiceAlreadyRunning = 1056,
    ServiceDoesNotExist = 1060,
    ServiceCannotAcceptControl = 1061,
    ServiceNotActive = 1062,
    InternalError = 1359,        // the machine store failed
    NoSuchDevinst = 0xE000020B,  // the device is no longer in the machine
};

// The system's message text for the code, or an empty view when there is none.
std::string_view errorMessage(Error error);

inline bool succeeded(Error error) {
    return error == Error::Success;
}

}  // namespace platform
