#include "sim/net_card.h"

#include "sim/device_store.h"

namespace sim::net {

void addCard(Store& store, const NetCard& card) {
    store
        .prepare(
            "INSERT OR REPLACE INTO net_card(device_id, mac, lease_ip, lease_mask, lease_gateway, "
            "dhcp_server) "
            "VALUES(?, ?, ?, ?, ?, ?)")
        .bind(1, card.deviceId)
        .bind(2, card.mac)
        .bind(3, card.lease.ip)
        .bind(4, card.lease.mask)
        .bind(5, card.lease.gateway)
        .bind(6, card.lease.dhcpServer)
        .run();
}

std::optional<NetCard> cardOfDevice(Store& store, std::int64_t deviceId) {
    Statement row = store.prepare(
        "SELECT mac, lease_ip, lease_mask, lease_gateway, dhcp_server FROM net_card WHERE device_id = ?");
    row.bind(1, deviceId);
    if (!row.step())
        return std::nullopt;
    return NetCard{deviceId, row.columnText(0),
                   Lease{row.columnText(1), row.columnText(2), row.columnText(3), row.columnText(4)}};
}

std::optional<std::string> macAddress(Store& store, std::string_view instanceId) {
    const auto device = dev::findDevice(store, instanceId);
    if (!device)
        return std::nullopt;
    const auto card = cardOfDevice(store, device->id);
    if (!card)
        return std::nullopt;
    return card->mac;
}

}  // namespace sim::net
