#pragma once

namespace sim {
class Store;
// Creates every table of the machine store that does not exist yet. Runs inside a transaction.
void createSchema(Store& store);
}  // namespace sim
