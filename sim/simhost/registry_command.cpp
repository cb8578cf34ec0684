// simhost reg: get, set, delete, export and import registry contents.

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include "command.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "sim/machine.h"
#include "sim/regedit.h"
#include "vessra/common/bytes.h"
#include "vessra/common/text.h"

namespace simhost {

namespace {

namespace registry = platform::registry;

struct KeyName {
    registry::Hive hive;
    std::string path;
};

std::optional<KeyName> parseKeyName(const std::string& text) {
    const std::size_t slash = text.find('\\');
    const auto hive = sim::reg::hiveFromName(std::string_view(text).substr(0, slash));
    if (!hive)
        return std::nullopt;
    return KeyName{
        *hive == sim::reg::Hive::LocalMachine ? registry::Hive::LocalMachine : registry::Hive::DynData,
        slash == std::string::npos ? std::string() : text.substr(slash + 1)};
}

std::string valueName(const std::string& word) {
    return word == "@" ? std::string() : word;
}

int fail(const Invocation& call, const std::string& what, platform::Error error) {
    call.err << "simhost reg: " << what << ": " << platform::errorMessage(error) << "\n";
    return kFailed;
}

std::optional<std::uint32_t> parseDword(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* begin = text.data() + (hex ? 2 : 0);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value, hex ? 16 : 10);
    if (error != std::errc() || end != text.data() + text.size() || begin == end)
        return std::nullopt;
    return value;
}

std::optional<registry::Value> parseValue(const std::vector<std::string>& words, std::string& problem) {
    const std::string& type = words[2];
    const std::vector<std::string> data(words.begin() + 3, words.end());
    registry::Value value{valueName(words[1]), registry::ValueType::None, {}};
    auto one = [&]() -> const std::string* {
        if (data.size() != 1) {
            problem = "type " + type + " takes exactly one DATA word";
            return nullptr;
        }
        return &data[0];
    };
    if (type == "sz" || type == "expand_sz") {
        const std::string* text = one();
        if (!text)
            return std::nullopt;
        value.type = type == "sz" ? registry::ValueType::String : registry::ValueType::ExpandString;
        value.data = sim::reg::stringData(*text);
    } else if (type == "multi_sz") {
        value.type = registry::ValueType::MultiString;
        value.data = sim::reg::multiStringData(data);
    } else if (type == "dword") {
        const std::string* text = one();
        if (!text)
            return std::nullopt;
        const auto number = parseDword(*text);
        if (!number) {
            problem = "\"" + *text + "\" is not a 32-bit number (decimal or 0x hex)";
            return std::nullopt;
        }
        value.type = registry::ValueType::Dword;
        value.data = vessra::dwordBytes(*number);
    } else if (type == "binary" || type == "none") {
        const std::string* text = one();
        if (!text)
            return std::nullopt;
        if (!vessra::parseHex(*text, value.data)) {
            problem = "\"" + *text + "\" is not a list of hex bytes";
            return std::nullopt;
        }
        value.type = type == "binary" ? registry::ValueType::Binary : registry::ValueType::None;
    } else {
        problem = "unknown type " + type + " (sz, expand_sz, multi_sz, dword, binary, none)";
        return std::nullopt;
    }
    return value;
}

sim::reg::Value storeValue(const registry::Value& value) {
    return sim::reg::Value{value.name, static_cast<std::uint32_t>(value.type), value.data};
}

int get(const Invocation& call, const KeyName& name, const std::vector<std::string>& args) {
    registry::Key key;
    if (auto error = registry::Key::open(name.hive, name.path, registry::Access::Read, key);
        !succeeded(error)) {
        return fail(call, args[1], error);
    }
    if (args.size() == 3) {
        registry::Value value;
        if (auto error = key.queryValue(valueName(args[2]), SIZE_MAX, value); !succeeded(error)) {
            return fail(call, args[1] + " " + args[2], error);
        }
        call.out << sim::regedit::valueLine(storeValue(value)) << "\n";
        return kOk;
    }
    call.out << "[" << key.path() << "]\n";
    registry::Value value;
    for (std::size_t i = 0; succeeded(key.valueAt(i, value)); ++i) {
        call.out << sim::regedit::valueLine(storeValue(value)) << "\n";
    }
    std::string subkey;
    for (std::size_t i = 0; succeeded(key.subkeyAt(i, subkey)); ++i) call.out << subkey << "\\\n";
    return kOk;
}

int set(const Invocation& call, const KeyName& name, const std::vector<std::string>& args) {
    std::string problem;
    const std::vector<std::string> words(args.begin() + 1, args.end());
    const auto value = parseValue(words, problem);
    if (!value) {
        call.err << "simhost reg set: " << problem << "\n";
        return kUsage;
    }
    registry::Key key;
    if (auto error = registry::Key::create(name.hive, name.path, key); !succeeded(error)) {
        return fail(call, args[1], error);
    }
    if (auto error = key.setValue(value->name, value->type, value->data); !succeeded(error)) {
        return fail(call, args[1], error);
    }
    return kOk;
}

int remove(const Invocation& call, const KeyName& name, const std::vector<std::string>& args) {
    if (args.size() == 2) {
        if (name.path.find_first_not_of('\\') == std::string::npos) {
            call.err << "simhost reg delete: a hive itself cannot be deleted\n";
            return kFailed;
        }
        const auto error = registry::deleteTree(name.hive, name.path);
        return succeeded(error) ? kOk : fail(call, args[1], error);
    }
    registry::Key key;
    if (auto error = registry::Key::open(name.hive, name.path, registry::Access::All, key);
        !succeeded(error)) {
        return fail(call, args[1], error);
    }
    const auto error = key.deleteValue(valueName(args[2]));
    return succeeded(error) ? kOk : fail(call, args[1] + " " + args[2], error);
}

int exportKey(const Invocation& call, const std::vector<std::string>& args) {
    const std::string keyPath = args.size() > 1 ? args[1] : std::string();
    const auto store = sim::openMachine(platform::machineFile());
    const std::string text = sim::regedit::exportText(*store, keyPath);
    if (args.size() > 2 && args[2] != "-") {
        std::ofstream file(args[2], std::ios::binary);
        if (!(file << text) || !file.flush()) {
            call.err << "simhost reg export: cannot write " << args[2] << "\n";
            return kFailed;
        }
        return kOk;
    }
    call.out << text;
    return kOk;
}

int importFile(const Invocation& call, const std::vector<std::string>& args) {
    std::stringstream text;
    if (args[1] == "-") {
        text << call.in.rdbuf();
    } else {
        std::ifstream file(args[1], std::ios::binary);
        if (!file || !(text << file.rdbuf())) {
            call.err << "simhost reg import: cannot read " << args[1] << "\n";
            return kFailed;
        }
    }
    const auto store = sim::openMachine(platform::machineFile());
    try {
        sim::regedit::importText(*store, text.str());
    } catch (const sim::regedit::ParseError& error) {
        call.err << "simhost reg import: " << args[1] << ": " << error.what() << "; nothing was written\n";
        return kFailed;
    }
    return kOk;
}

}  // namespace

int runRegistry(const Invocation& call) {
    const auto& args = call.args;
    const std::string verb = args.empty() ? "" : args[0];
    const bool shapeOk = (verb == "get" && (args.size() == 2 || args.size() == 3)) ||
                         (verb == "set" && args.size() >= 4) ||
                         (verb == "delete" && (args.size() == 2 || args.size() == 3)) ||
                         (verb == "export" && args.size() <= 3) || (verb == "import" && args.size() == 2);
    if (!shapeOk) {
        call.err << "simhost reg: expected get|set|delete|export|import with their arguments (see simhost "
                    "--help)\n";
        return kUsage;
    }
    if (verb == "export")
        return exportKey(call, args);
    if (verb == "import")
        return importFile(call, args);
    const auto name = parseKeyName(args[1]);
    if (!name) {
        call.err << "simhost reg: " << args[1]
                 << " does not start with HKEY_LOCAL_MACHINE or HKEY_DYN_DATA\n";
        return kUsage;
    }
    if (verb == "get")
        return get(call, *name, args);
    if (verb == "set")
        return set(call, *name, args);
    return remove(call, *name, args);
}

}  // namespace simhost
