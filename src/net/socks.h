#pragma once
// The SOCKS 4 and SOCKS 5 messages the client sends, byte for byte. The proxy is
// only ever given an IPv4 address: the client resolves the target itself.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// Proxy types, as stored in the proxy settings.
enum ProxyType : int {
    ProxyNone = 0,
    ProxyHttp = 1,
    ProxySocks4 = 2,
    ProxySocks5 = 3,
};

// Reply sizes: a SOCKS 4 reply, a SOCKS 5 method or authentication reply, a SOCKS 5
// connect reply for an IPv4 address.
inline constexpr std::size_t socks4ReplySize = 8;
inline constexpr std::size_t socks5ShortReplySize = 2;
inline constexpr std::size_t socks5ConnectReplySize = 10;

// The SOCKS 5 methods the client understands.
inline constexpr std::uint8_t socks5NoAuthentication = 0x00;
inline constexpr std::uint8_t socks5UserPassword = 0x02;

// The four bytes of a dotted IPv4 address, or none when it is not one.
std::optional<std::array<std::uint8_t, 4>> ipv4Bytes(std::string_view dotted);

// 0x04 0x01, port, address, the user id (at most 90 bytes) and a zero byte.
std::string socks4ConnectRequest(const std::array<std::uint8_t, 4>& address, int port,
                                 std::string_view userId);

// 0x05 0x01 0x02: version 5, one method offered, user name and password.
std::string socks5Greeting();

// 0x01, the user name's length and bytes, the password's length and bytes. Each is cut
// to 255 bytes, the most its length byte can say; an empty password still sends its
// length byte 0.
std::string socks5UserPasswordRequest(std::string_view userName, std::string_view password);

// 0x05 0x01 0x00 0x01, the address, the port.
std::string socks5ConnectRequest(const std::array<std::uint8_t, 4>& address, int port);

} // namespace chronvale
