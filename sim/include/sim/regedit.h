#pragma once
// Registry contents as REGEDIT4 text, so that people can read, diff and seed a machine.
//
// Import understands: the "REGEDIT4" header; ';' comment lines; [KEY] (created) and [-KEY] (deleted
// with its subtree), KEY starting with a hive name; "name"="text" with the escapes \\ and \"
// (plus \n and \r, which regedit itself never writes); @ for the unnamed value; "name"=- to delete;
// dword:XXXXXXXX; hex:bytes (binary); hex(7):bytes (multi-string); hex(N):bytes for any other type;
// a trailing backslash continues a line. The whole file is checked before anything is written and
// then applied as one transaction: a malformed file writes nothing and the error names its line.
//
// Export writes the same format; a value whose bytes a quoted text could not carry exactly (no final
// NUL, an inner NUL, control characters) is written as hex(1): so that re-importing is lossless.

#include <stdexcept>
#include <string>
#include <string_view>

#include "sim/registry_store.h"
#include "sim/store.h"

namespace sim::regedit {

class ParseError : public std::runtime_error {
  public:
    ParseError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), m_line(line) {}
    int line() const { return m_line; }

  private:
    int m_line;
};

void importText(Store& store, std::string_view text);

// One value as its REGEDIT4 line ("name"=...), hex lists wrapped with continuations.
std::string valueLine(const reg::Value& value);

// Exports `keyPath` ("HKEY_LOCAL_MACHINE\SOFTWARE\...") with its subtree, or every hive when empty.
// Throws StoreError when the key does not exist.
std::string exportText(Store& store, std::string_view keyPath = {});

}  // namespace sim::regedit
