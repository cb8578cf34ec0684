#include "sim/regedit.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <variant>
#include <vector>

#include "sim/registry_store.h"
#include "vessra/common/bytes.h"

namespace sim::regedit {

namespace {

struct KeyPath {
    reg::Hive hive;
    std::string path;  // below the hive
};

struct CreateKey {
    KeyPath key;
};
struct DeleteKey {
    KeyPath key;
};
struct SetValue {
    KeyPath key;
    reg::Value value;
};
struct DeleteValue {
    KeyPath key;
    std::string name;
};
using Operation = std::variant<CreateKey, DeleteKey, SetValue, DeleteValue>;

// One logical line (continuations joined) and the number of its first physical line.
struct Line {
    int number;
    std::string text;
};

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<Line> logicalLines(std::string_view text) {
    std::vector<Line> lines;
    int number = 0;
    std::optional<Line> pending;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view physical = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!physical.empty() && physical.back() == '\r')
            physical.remove_suffix(1);
        std::string_view piece = pending ? trim(physical) : physical;
        const bool continues = !piece.empty() && piece.back() == '\\' && trim(piece).front() != '[';
        if (continues)
            piece.remove_suffix(1);
        if (!pending)
            pending = Line{number, {}};
        pending->text.append(piece);
        if (!continues) {
            lines.push_back(std::move(*pending));
            pending.reset();
        }
    }
    if (pending)
        lines.push_back(std::move(*pending));
    return lines;
}

KeyPath parseKeyPath(std::string_view text, int line) {
    const std::size_t slash = text.find('\\');
    const std::string_view hiveText = text.substr(0, slash);
    const auto hive = reg::hiveFromName(hiveText);
    if (!hive)
        throw ParseError(line, "unknown hive \"" + std::string(hiveText) + "\"");
    return KeyPath{*hive,
                   slash == std::string_view::npos ? std::string() : std::string(text.substr(slash + 1))};
}

// Reads a quoted text starting at text[pos] == '"'; leaves pos after the closing quote.
std::string parseQuoted(std::string_view text, std::size_t& pos, int line) {
    std::string result;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return result;
        }
        if (c != '\\') {
            result.push_back(c);
            continue;
        }
        if (++pos == text.size())
            break;
        switch (text[pos]) {
            case '\\':
                result.push_back('\\');
                break;
            case '"':
                result.push_back('"');
                break;
            case 'n':
                result.push_back('\n');
                break;
            case 'r':
                result.push_back('\r');
                break;
            default:
                throw ParseError(line, std::string("unknown escape \\") + text[pos]);
        }
    }
    throw ParseError(line, "missing closing quote");
}

bool parseHexNumber(std::string_view digits, std::uint32_t& out) {
    if (digits.empty() || digits.size() > 8)
        return false;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), out, 16);
    return error == std::errc() && end == digits.data() + digits.size();
}

std::vector<std::uint8_t> parseHexList(std::string_view text, int line) {
    std::vector<std::uint8_t> bytes;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = std::min(text.find(',', start), text.size());
        const std::string_view item = trim(text.substr(start, end - start));
        start = end + 1;
        if (item.empty()) {
            if (end == text.size() && (bytes.empty() || text.empty()))
                break;
            throw ParseError(line, "empty byte in hex list");
        }
        vessra::Bytes byte;
        if (item.size() > 2 || !vessra::parseHex(item.size() == 1 ? "0" + std::string(item) : item, byte)) {
            throw ParseError(line, "bad byte \"" + std::string(item) + "\" in hex list");
        }
        bytes.push_back(byte[0]);
    }
    return bytes;
}

reg::Value parseData(std::string name, std::string_view data, int line) {
    reg::Value value{std::move(name), reg::kTypeNone, {}};
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        const std::string text = parseQuoted(data, pos, line);
        if (!trim(data.substr(pos)).empty())
            throw ParseError(line, "text after the closing quote");
        value.type = reg::kTypeString;
        value.data = reg::stringData(text);
        return value;
    }
    if (data.starts_with("dword:")) {
        std::uint32_t number = 0;
        if (!parseHexNumber(trim(data.substr(6)), number)) {
            throw ParseError(line, "dword: needs one to eight hex digits");
        }
        value.type = reg::kTypeDword;
        value.data = vessra::dwordBytes(number);
        return value;
    }
    if (data.starts_with("hex")) {
        const std::size_t colon = data.find(':');
        if (colon == std::string_view::npos)
            throw ParseError(line, "hex data needs a ':'");
        const std::string_view kind = data.substr(3, colon - 3);
        value.type = reg::kTypeBinary;
        if (!kind.empty() && (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' ||
                              !parseHexNumber(kind.substr(1, kind.size() - 2), value.type))) {
            throw ParseError(line, "bad hex type \"" + std::string(kind) + "\"");
        }
        value.data = parseHexList(data.substr(colon + 1), line);
        return value;
    }
    throw ParseError(line, "unknown value data \"" + std::string(data.substr(0, 20)) + "\"");
}

std::vector<Operation> parse(std::string_view text) {
    const std::vector<Line> lines = logicalLines(text);
    std::size_t index = 0;
    while (index < lines.size() && trim(lines[index].text).empty()) ++index;
    if (index == lines.size() || trim(lines[index].text) != "REGEDIT4") {
        throw ParseError(index < lines.size() ? lines[index].number : 1,
                         "the file does not start with REGEDIT4");
    }
    std::vector<Operation> operations;
    std::optional<KeyPath> current;
    for (++index; index < lines.size(); ++index) {
        const int number = lines[index].number;
        const std::string_view line = trim(lines[index].text);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            if (line.back() != ']')
                throw ParseError(number, "key line without closing ']'");
            std::string_view inner = line.substr(1, line.size() - 2);
            if (!inner.empty() && inner.front() == '-') {
                operations.push_back(DeleteKey{parseKeyPath(inner.substr(1), number)});
                current.reset();
            } else {
                current = parseKeyPath(inner, number);
                operations.push_back(CreateKey{*current});
            }
            continue;
        }
        if (!current)
            throw ParseError(number, "value outside of a key");
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            name = parseQuoted(line, pos, number);
        } else {
            throw ParseError(number, "expected a key, a quoted value name or @");
        }
        const std::string_view rest = trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            throw ParseError(number, "expected '=' after the value name");
        const std::string_view data = trim(rest.substr(1));
        if (data == "-") {
            operations.push_back(DeleteValue{*current, std::move(name)});
        } else {
            operations.push_back(SetValue{*current, parseData(std::move(name), data, number)});
        }
    }
    return operations;
}

reg::KeyId createPath(Store& store, const KeyPath& key) {
    return reg::createKey(store, reg::ensureHive(store, key.hive), key.path);
}

void apply(Store& store, const Operation& operation) {
    if (const auto* create = std::get_if<CreateKey>(&operation)) {
        createPath(store, create->key);
    } else if (const auto* remove = std::get_if<DeleteKey>(&operation)) {
        if (auto root = reg::hiveRoot(store, remove->key.hive)) {
            if (auto key = reg::findKey(store, *root, remove->key.path))
                reg::deleteKey(store, *key);
        }
    } else if (const auto* set = std::get_if<SetValue>(&operation)) {
        reg::writeValue(store, createPath(store, set->key), set->value.name, set->value.type,
                        set->value.data);
    } else if (const auto* unset = std::get_if<DeleteValue>(&operation)) {
        reg::deleteValue(store, createPath(store, unset->key), unset->name);
    }
}

// ---- export ----

// Line breaks are escaped too, so that a value name holding one cannot split its line.
std::string quotedText(std::string_view text) {
    std::string result = "\"";
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            result += c == '\n' ? "\\n" : "\\r";
            continue;
        }
        if (c == '\\' || c == '"')
            result.push_back('\\');
        result.push_back(c);
    }
    result.push_back('"');
    return result;
}

// True when a quoted text carries these bytes exactly: one final NUL, no other NUL or control byte.
bool isPlainString(const reg::Value& value) {
    if (value.type != reg::kTypeString || value.data.empty() || value.data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] < 0x20 || value.data[i] == 0x7f)
            return false;
    }
    return true;
}

// hex lists wrap like regedit's: ",\" and two spaces of indent, lines kept under 80 columns.
std::string hexList(std::string prefix, const std::vector<std::uint8_t>& data) {
    std::string result = std::move(prefix);
    std::size_t column = result.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::string byte = vessra::toHex(std::span(&data[i], 1));
        const bool last = i + 1 == data.size();
        if (column + byte.size() + 1 > 77) {
            result += "\\\n  ";
            column = 2;
        }
        result += byte;
        column += 2;
        if (!last) {
            result += ',';
            ++column;
        }
    }
    return result;
}

}  // namespace

std::string valueLine(const reg::Value& value) {
    std::string line = value.name.empty() ? std::string("@=") : quotedText(value.name) + "=";
    if (isPlainString(value)) {
        return line + quotedText(std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                                  value.data.size() - 1));
    }
    if (value.type == reg::kTypeDword && value.data.size() == 4) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", vessra::readLe32(value.data, 0));
        return line + "dword:" + digits;
    }
    if (value.type == reg::kTypeBinary)
        return hexList(line + "hex:", value.data);
    char kind[16];
    std::snprintf(kind, sizeof kind, "hex(%x):", value.type);
    return hexList(line + kind, value.data);
}

namespace {

void exportKey(Store& store, reg::KeyId key, const std::string& fullPath, std::string& out) {
    out += "[" + fullPath + "]\n";
    for (const reg::Value& value : reg::values(store, key)) out += valueLine(value) + "\n";
    out += "\n";
    for (const auto& [child, name] : reg::subkeys(store, key))
        exportKey(store, child, fullPath + "\\" + name, out);
}

}  // namespace

void importText(Store& store, std::string_view text) {
    const std::vector<Operation> operations = parse(text);
    Store::Transaction transaction(store);
    for (const Operation& operation : operations) apply(store, operation);
    transaction.commit();
}

std::string exportText(Store& store, std::string_view path) {
    std::string out = "REGEDIT4\n\n";
    if (path.empty()) {
        for (reg::Hive hive : {reg::Hive::LocalMachine, reg::Hive::DynData}) {
            if (auto root = reg::hiveRoot(store, hive))
                exportKey(store, *root, std::string(reg::hiveName(hive)), out);
        }
        return out;
    }
    const std::size_t slash = path.find('\\');
    const auto hive = reg::hiveFromName(path.substr(0, slash));
    if (!hive)
        throw StoreError("unknown hive in \"" + std::string(path) + "\"");
    const std::string below =
        slash == std::string_view::npos ? std::string() : std::string(path.substr(slash + 1));
    const auto root = reg::hiveRoot(store, *hive);
    const auto key = root ? reg::findKey(store, *root, below) : std::nullopt;
    if (!key)
        throw StoreError("no such key: " + std::string(path));
    exportKey(store, *key, reg::keyPath(store, *key), out);
    return out;
}

}  // namespace sim::regedit
