// simhost wmi: whether the machine has WMI (the radio-key listener needs it).

#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/hw_events.h"

namespace simhost {

int runWmi(const Invocation& call) {
    if (call.args.size() != 1 || (call.args[0] != "on" && call.args[0] != "off")) {
        call.err << "simhost wmi: on or off\n";
        return kUsage;
    }
    auto store = openThisMachine();
    sim::events::setWmiAvailable(*store, call.args[0] == "on");
    call.out << "wmi " << call.args[0] << "\n";
    return kOk;
}

}  // namespace simhost
