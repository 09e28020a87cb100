#include "net/socks.h"

namespace chronvale {

namespace {

constexpr std::size_t maxUserId = 90;
constexpr std::size_t maxCredential = 255;

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

std::string socks5ConnectRequest(const std::array<std::uint8_t, 4>& address, int port) {
    std::string message{'\x05', '\x01', '\x00', '\x01'};
    appendAddress(message, address);
    appendPort(message, port);
    return message;
}

} // namespace chronvale
