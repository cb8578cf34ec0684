// simhost radio-key: moves the adapter's hardware radio key, which queues its hardware event.

#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/hw_events.h"

namespace simhost {

int runRadioKey(const Invocation& call) {
    if (call.args.size() != 1 || (call.args[0] != "on" && call.args[0] != "off")) {
        call.err << "simhost radio-key: on or off\n";
        return kUsage;
    }
    auto store = openThisMachine();
    sim::events::setRadioKey(*store, call.args[0] == "on");
    call.out << "radio key " << call.args[0] << "\n";
    return kOk;
}

}  // namespace simhost
