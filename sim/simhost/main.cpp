// simhost: looks at and changes a simulated machine, for people and for tests.

#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "command.h"
#include "platform/machine.h"
#include "sim/machine.h"

namespace {

constexpr const char* kHelp = R"(usage: simhost [--machine PATH] COMMAND ...

The machine file is PATH, else $SIMHOST_MACHINE, else
${XDG_DATA_HOME:-$HOME/.local/share}/vessra/machine.db. A missing file gets the default
machine (Windows XP, the adapter present) the first time a command needs it.

Commands:
  new [--os KIND] [--adapter present|disabled|absent] [--product installed|none] [--force]
        create a machine; KIND is xp (default), 2000, me, 98se, nt4 (Service Pack 6),
        or one the suite does not support: 95, 98, nt4sp5, 2003. Every machine has a
        wired card and the adapter (absent: installed, but the card is not in the
        machine); --product none leaves out the product's uninstall entry. --force
        replaces an existing file.

  reg get KEY [NAME]          print one value, or every value and subkey of KEY
  reg set KEY NAME TYPE DATA...
        TYPE is sz, expand_sz, multi_sz (one DATA word per string), dword (decimal or
        0x hex), binary or none (hex bytes, e.g. 00ff1a); NAME "" or @ is the unnamed value
  reg delete KEY [NAME]       delete a value, or the key with its whole subtree
  reg export [KEY] [FILE]     write REGEDIT4 text of KEY (default: every hive) to FILE or stdout
  reg import FILE             apply a REGEDIT4 file (- reads stdin) as one change

  show                        the system, devices, services, radio key and WMI
  device list                 every device node with its state
  device enable|disable|remove|insert [ID]
        change a device node; ID is an instance id or "adapter" (default: the first
        device with the adapter's hardware id); remove/insert take it out of or put it
        back into the machine
  device add-adapter          install a second (third, ...) adapter card
  service show|start|stop [NAME]
        a service's state (default WZCSVC); start leaves it start-pending for a moment
  radio-key on|off            move the adapter's hardware radio key (queues its event)
  wmi on|off                  give the machine WMI or take it away

  net list                    the networks in range (base and current signal, keys in hex)
  net add SSID BSSID MHZ [--flags N] [--adhoc] [--wep KEYHEX | --aes KEYHEX] [--rssi DBM]
        a network in range; flags 0x400 is 802.11g, 0x100 turbo; WEP keys have 5 or
        13 bytes, AES keys 16; DBM is its base signal (default -60)
  net remove SSID|BSSID       take a network away
  net move SSID|BSSID DBM     change a network's base signal (-95 or less: out of range)
  query OID [LENGTH]          one query to the adapter (LENGTH default 4104); prints the
                              result, the bytes written and needed, and the reply in hex
  set OID HEXBYTES            one set request with HEXBYTES as its buffer
        OID is a name (OID_VENDOR_RADIO, OID_802_11_SSID, ...) or a number (0xFF300000)
  journal [--clear]           every request the driver received, with its bytes and result
  fault next N | fault oid OID | fault clear
        make the driver fail its next N requests, or every request of one OID

KEY starts with its hive: HKEY_LOCAL_MACHINE (HKLM) or HKEY_DYN_DATA (HKDD), e.g.
  simhost reg get 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'

Exit codes: 0 done, 1 the machine refused or lacks what was named, 2 bad command line.
)";

using Handler = int (*)(const simhost::Invocation&);

const std::map<std::string, Handler>& commands() {
    static const std::map<std::string, Handler> table{
        {"new", simhost::runNew},       {"reg", simhost::runRegistry},    {"show", simhost::runShow},
        {"device", simhost::runDevice}, {"service", simhost::runService}, {"radio-key", simhost::runRadioKey},
        {"wmi", simhost::runWmi},       {"net", simhost::runNetwork},     {"query", simhost::runQuery},
        {"set", simhost::runSet},       {"journal", simhost::runJournal}, {"fault", simhost::runFault},
    };
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::size_t next = 0;
    std::optional<std::string> machine;
    while (next < args.size() && args[next].starts_with("-")) {
        if (args[next] == "--help" || args[next] == "-h") {
            std::cout << kHelp;
            return simhost::kOk;
        }
        if (args[next] == "--machine" && next + 1 < args.size()) {
            machine = args[next + 1];
            next += 2;
            continue;
        }
        std::cerr << "simhost: unknown option " << args[next] << " (see simhost --help)\n";
        return simhost::kUsage;
    }
    if (next == args.size()) {
        std::cerr << kHelp;
        return simhost::kUsage;
    }
    const auto command = commands().find(args[next]);
    if (command == commands().end()) {
        std::cerr << "simhost: unknown command " << args[next] << " (see simhost --help)\n";
        return simhost::kUsage;
    }
    platform::useMachineFile(sim::resolveMachineFile(machine));
    const simhost::Invocation call{
        {args.begin() + static_cast<long>(next) + 1, args.end()}, std::cin, std::cout, std::cerr};
    try {
        return command->second(call);
    } catch (const std::exception& error) {
        std::cerr << "simhost: " << error.what() << "\n";
        return simhost::kFailed;
    }
}
