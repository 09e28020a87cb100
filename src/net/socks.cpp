#include "net/socks.h"

namespace chronvale {

namespace {

constexpr std::size_t maxUserId = 90;
constexpr std::size_t maxCredential = 255;
constexpr std::size_t maxName = 255;

void appendPort(std::string& message, int port) {
    message += static_cast<char>((port >> 8) & 0xff);
    message += static_cast<char>(port & 0xff);
}

void appendAddress(std::string& message, const std::array<std::uint8_t, 4>& address) {
    for (std::uint8_t byte : address) {
        message += static_cast<char>(byte);
    }
}

} // namespace

std::optional<std::array<std::uint8_t, 4>> ipv4Bytes(std::string_view dotted) {
    // Only the strict dotted form: four decimal numbers of at most 3 digits each.
    std::array<std::uint8_t, 4> bytes{};
    std::size_t part = 0;
    std::size_t i = 0;
    while (part < 4) {
        int value = 0;
        std::size_t digits = 0;
        while (i < dotted.size() && dotted[i] >= '0' && dotted[i] <= '9' && digits < 3) {
            value = value * 10 + (dotted[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return std::nullopt;
        }
        bytes[part++] = static_cast<std::uint8_t>(value);
        if (part < 4) {
            if (i >= dotted.size() || dotted[i] != '.') {
                return std::nullopt;
            }
            ++i;
        }
    }
    if (i != dotted.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::string socks4ConnectRequest(const std::array<std::uint8_t, 4>& address, int port,
                                 std::string_view userId) {
    std::string message{'\x04', '\x01'};
    appendPort(message, port);
    appendAddress(message, address);
    message += userId.substr(0, maxUserId);
    message += '\0';
    return message;
}

std::string socks5Greeting() {
    return std::string{'\x05', '\x01', '\x02'};
}

std::string socks5UserPasswordRequest(std::string_view userName, std::string_view password) {
    userName = userName.substr(0, maxCredential);
    password = password.substr(0, maxCredential);
    std::string message{'\x01'};
    message += static_cast<char>(userName.size());
    message += userName;
    message += static_cast<char>(password.size());
    message += password;
    return message;
}

std::optional<std::string> socks4aConnectRequest(std::string_view host, int port,
                                                 std::string_view userId) {
    if (host.empty() || host.size() > maxName) {
        return std::nullopt;
    }
    std::string message{'\x04', '\x01'};
    appendPort(message, port);
    appendAddress(message, {0, 0, 0, 1});
    message += userId.substr(0, maxUserId);
    message += '\0';
    message += host;
    message += '\0';
    return message;
}

std::string socks5ConnectRequest(const std::array<std::uint8_t, 16>& address, int port) {
    std::string message{'\x05', '\x01', '\x00', static_cast<char>(socks5AddressIpv6)};
    for (std::uint8_t byte : address) {
        message += static_cast<char>(byte);
    }
    appendPort(message, port);
    return message;
}

std::optional<std::string> socks5ConnectRequest(std::string_view host, int port) {
    if (host.empty() || host.size() > maxName) {
        return std::nullopt;
    }
    std::string message{'\x05', '\x01', '\x00', static_cast<char>(socks5AddressName)};
    message += static_cast<char>(host.size());
    message += host;
    appendPort(message, port);
    return message;
}

SocksReplyScan scanSocksReply(SocksReply kind, std::string_view bytes) {
    using Status = SocksReplyScan::Status;
    const auto byte = [&bytes](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const auto complete = [&](std::size_t size) {
        SocksReplyScan scan;
        if (bytes.size() >= size) {
            scan.status = Status::Complete;
            scan.size = size;
            scan.code = byte(1);
        }
        return scan;
    };
    switch (kind) {
    case SocksReply::Socks4:
        // Proxies differ in the version byte (0 or 4); the status is read by the caller.
        return complete(socks4ReplySize);
    case SocksReply::Socks5Method:
        if (!bytes.empty() && byte(0) != 0x05) {
            return {Status::Malformed, 0, 0};
        }
        return complete(socks5ShortReplySize);
    case SocksReply::Socks5Auth:
        // The sub-negotiation's version is 1; some proxies answer 5. Either is taken.
        return complete(socks5ShortReplySize);
    case SocksReply::Socks5Connect:
        break;
    }
    if (!bytes.empty() && byte(0) != 0x05) {
        return {Status::Malformed, 0, 0};
    }
    if (bytes.size() < 5) {
        return {};
    }
    switch (byte(3)) {
    case socks5AddressIpv4:
        return complete(4 + 4 + 2);
    case socks5AddressIpv6:
        return complete(4 + 16 + 2);
    case socks5AddressName:
        return complete(4 + 1 + std::size_t{byte(4)} + 2);
    default:
        return {Status::Malformed, 0, 0};
    }
}

std::string socks5ConnectRequest(const std::array<std::uint8_t, 4>& address, int port) {
    std::string message{'\x05', '\x01', '\x00', '\x01'};
    appendAddress(message, address);
    appendPort(message, port);
    return message;
}

} // namespace chronvale
