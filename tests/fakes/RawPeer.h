#pragma once
// A peer of the program's TCP servers on a plain POSIX socket, so that it can
// do what a well-behaved client never does (stop reading, flood, hold a
// connection silent) and can run on a thread of its own.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace kovo::test {

class RawPeer {
public:
    // Connects to the loopback; `receiveBuffer` > 0 shrinks what the kernel
    // takes in for this peer.
    explicit RawPeer(std::uint16_t port, int receiveBuffer = 0)
        : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        if (receiveBuffer > 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    ~RawPeer() { ::close(fd_); }
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    bool connected() const { return connected_; }
    int fd() const { return fd_; }
    void nonBlocking() { ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK); }
    // False once the server no longer takes bytes (closed, or not reading).
    bool send(const std::string& bytes) {
        return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
    }
    // What has arrived, without waiting; `closed` is set at the end of stream.
    std::string take(bool* closed = nullptr) {
        std::string got;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                got.append(buffer, std::size_t(n));
                continue;
            }
            if (closed)
                *closed = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            return got;
        }
    }

    static std::string upgradeRequest(std::uint16_t port, const std::string& token) {
        const std::string host = "127.0.0.1:" + std::to_string(port);
        return "GET /ws?token=" + token + " HTTP/1.1\r\nHost: " + host +
               "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
               "Origin: http://" +
               host + "\r\n\r\n";
    }
    // A masked text frame as a browser sends it (the zero mask leaves the
    // text as it is).
    static std::string textFrame(const std::string& text) {
        std::string frame = "\x81";
        frame += char(0x80 | text.size());
        frame += std::string(4, '\0');
        return frame + text;
    }

private:
    int fd_;
    bool connected_ = false;
};

} // namespace kovo::test
