#include "platform/error.h"

namespace platform {

std::string_view errorMessage(Error error) {
    switch (error) {
        case Error::Success:
            return "The operation completed successfully.";
        case Error::FileNotFound:
            return "The system cannot find the file specified.";
        case Error::PathNotFound:
            return "The system cannot find the path specified.";
        case Error::AccessDenied:
            return "Access is denied.";
        case Error::InvalidHandle:
            return "The handle is invalid.";
        case Error::InvalidData:
            return "The data is invalid.";
        case Error::NotReady:
            return "The device is not ready.";
        case Error::InvalidParameter:
            return "The parameter is incorrect.";
        case Error::CallNotImplemented:
            return "This function is not supported on this system.";
        case Error::InsufficientBuffer:
            return "The data area passed to a system call is too small.";
        case Error::AlreadyExists:
            return "Cannot create a file when that file already exists.";
        case Error::MoreData:
            return "More data is available.";
        case Error::NoMoreItems:
            return "No more data is available.";
        case Error::KeyDeleted:
            return "Illegal operation attempted on a registry key that has been marked for deletion.";
        case Error::ServiceRequestTimeout:
            return "The service did not respond to the start or control request in a timely fashion.";
        case Error::ServiceAlreadyRunning:
            return "An instance of the service is already running.";
        case Error::ServiceDoesNotExist:
            return "The specified service does not exist as an installed service.";
        case Error::ServiceCannotAcceptControl:
            return "The service cannot accept control messages at this time.";
        case Error::ServiceNotActive:
            return "The service has not been started.";
        case Error::InternalError:
            return "An internal error occurred.";
        case Error::NoSuchDevinst:
            return "The device instance does not exist in the hardware tree.";
    }
    return {};
}

}  // namespace platform
