// simhost service: show, start or stop a service of the machine.

#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/service_store.h"

namespace simhost {

void printServices(sim::Store& store, std::ostream& out);  // show_command.cpp

int runService(const Invocation& call) {
    if (call.args.empty() || call.args.size() > 2) {
        call.err << "simhost service: show [NAME], start NAME or stop NAME\n";
        return kUsage;
    }
    const std::string& action = call.args[0];
    auto store = openThisMachine();
    if (action == "show" && call.args.size() == 1) {
        printServices(*store, call.out);
        return kOk;
    }
    if (action != "show" && action != "start" && action != "stop") {
        call.err << "simhost service: unknown command " << action << "\n";
        return kUsage;
    }
    const std::string name = call.args.size() == 2 ? call.args[1] : "WZCSVC";
    const auto id = sim::svc::findService(*store, name);
    if (!id) {
        call.err << "simhost service: no service " << name << " on this machine\n";
        return kFailed;
    }
    if (action == "start" || action == "stop") {
        const auto outcome = action == "start" ? sim::svc::start(*store, *id) : sim::svc::stop(*store, *id);
        if (outcome != sim::svc::Outcome::Done) {
            call.err << "simhost service: " << action << " " << name << ": refused ("
                     << (action == "start" ? "not stopped" : "not running") << ")\n";
            return kFailed;
        }
    }
    const auto status = sim::svc::status(*store, *id);
    call.out << name << ": " << (status ? sim::svc::stateName(status->state) : "?") << "\n";
    return kOk;
}

}  // namespace simhost
