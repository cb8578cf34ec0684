// simhost show: the system, its devices, services, the radio key and WMI at a glance.

#include <iostream>

#include "command.h"
#include "machine_access.h"
#include "sim/device_store.h"
#include "sim/hw_events.h"
#include "sim/net_card.h"
#include "sim/service_store.h"

namespace simhost {

void printDevices(sim::Store& store, std::ostream& out) {
    for (const auto& device : sim::dev::allDevices(store)) {
        out << "  " << device.instanceId << "\n    " << device.description << "\n    "
            << (device.present ? "present" : "removed") << ", " << (device.enabled ? "enabled" : "disabled")
            << ", problem " << device.problem << ", starts " << device.starts;
        if (!device.driver.empty())
            out << ", driver " << device.driver;
        if (!device.service.empty())
            out << ", service " << device.service;
        if (const auto card = sim::net::cardOfDevice(store, device.id))
            out << ", mac " << card->mac;
        out << "\n";
    }
}

void printServices(sim::Store& store, std::ostream& out) {
    const auto services = sim::svc::allServices(store);
    if (services.empty())
        out << "  (none)\n";
    for (const auto& service : services) {
        const auto status = sim::svc::status(store, service.id);
        out << "  " << service.name << " (" << service.displayName
            << "): " << (status ? sim::svc::stateName(status->state) : "?");
        if (status && status->state == sim::svc::State::StartPending) {
            out << ", check point " << status->checkPoint << ", wait hint " << status->waitHintMs << " ms";
        }
        out << "\n";
    }
}

int runShow(const Invocation& call) {
    if (!call.args.empty()) {
        call.err << "simhost show: takes no arguments\n";
        return kUsage;
    }
    auto store = openThisMachine();
    const auto kind = sim::machineSystem(*store);
    if (!kind) {
        call.err << "simhost show: the file holds no machine\n";
        return kFailed;
    }
    const sim::SystemVersion version = sim::systemVersion(*kind);
    call.out << "system: " << sim::systemKindName(*kind) << " (" << (version.ntPlatform ? "NT" : "Windows 9x")
             << " " << version.major << "." << version.minor << " build " << version.build
             << ", service pack \"" << version.servicePack << "\")\n"
             << "computer name: " << store->setting(sim::kComputerNameSetting).value_or("") << "\n"
             << "language: " << store->setting(sim::kLanguageSetting).value_or("") << "\n"
             << "wmi: " << (sim::events::wmiAvailable(*store) ? "yes" : "no") << "\n"
             << "radio key: " << (sim::events::radioKeyOn(*store) ? "on" : "off") << "\n"
             << "devices:\n";
    printDevices(*store, call.out);
    call.out << "services:\n";
    printServices(*store, call.out);
    return kOk;
}

}  // namespace simhost
