#pragma once
// The SOCKS 4 and SOCKS 5 messages the client sends, byte for byte, and the reading
// of the proxy's replies. SOCKS 4 is given an IPv4 address that the client resolved
// (SOCKS 4a, the host name, when the client cannot resolve it); SOCKS 5 is given the
// target as it stands in the URL: a name, an IPv4 or an IPv6 address.

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

// Reply sizes: a SOCKS 4 reply, a SOCKS 5 method or authentication reply, and the
// longest SOCKS 5 connect reply (a bound address that is a 255-byte name).
inline constexpr std::size_t socks4ReplySize = 8;
inline constexpr std::size_t socks5ShortReplySize = 2;
inline constexpr std::size_t socks5LongestConnectReply = 4 + 1 + 255 + 2;

// SOCKS 5 address types.
inline constexpr std::uint8_t socks5AddressIpv4 = 0x01;
inline constexpr std::uint8_t socks5AddressName = 0x03;
inline constexpr std::uint8_t socks5AddressIpv6 = 0x04;

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

// 0x04 0x01, port, the address 0.0.0.1, the user id (at most 90 bytes), 0x00, the host
// name and 0x00: SOCKS 4a, where the proxy resolves the name. None for an empty name
// or one longer than 255 bytes.
std::optional<std::string> socks4aConnectRequest(std::string_view host, int port,
                                                 std::string_view userId);

// 0x05 0x01 0x00 0x01, the address, the port.
std::string socks5ConnectRequest(const std::array<std::uint8_t, 4>& address, int port);

// 0x05 0x01 0x00 0x04, the 16 address bytes, the port.
std::string socks5ConnectRequest(const std::array<std::uint8_t, 16>& address, int port);

// 0x05 0x01 0x00 0x03, the name's length byte and bytes, the port: the proxy resolves
// the name. None for an empty name or one longer than 255 bytes.
std::optional<std::string> socks5ConnectRequest(std::string_view host, int port);

// The replies a proxy sends, each read as it arrives.
enum class SocksReply {
    Socks4,        // 8 bytes: version 0, status, port, address
    Socks5Method,  // 2 bytes: version 5, the chosen method
    Socks5Auth,    // 2 bytes: version, status (0 success)
    Socks5Connect, // version 5, reply code, 0, address type, bound address, bound port
};

struct SocksReplyScan {
    enum class Status {
        Incomplete, // more bytes are needed to know
        Complete,   // the reply is the first `size` bytes
        Malformed,  // not a reply of this kind: a wrong version or address type
    };
    Status status = Status::Incomplete;
    std::size_t size = 0;  // the reply's length, when Complete
    std::uint8_t code = 0; // the method, status or reply code, when Complete
};

// Reads the reply of `kind` at the start of `bytes` (what has arrived so far). A SOCKS 5
// connect reply is as long as its address type says: 4 bytes for IPv4, 16 for IPv6, a
// length byte and that many for a name. Never reads past `bytes`.
SocksReplyScan scanSocksReply(SocksReply kind, std::string_view bytes);

} // namespace chronvale
