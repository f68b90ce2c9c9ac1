#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kovo::sim {

bool LoopbackServer::start(int port, std::function<void()> serve, std::string* error) {
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        stop();
        return false;
    };
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        return fail("socket");
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return fail("bind");
    if (::listen(listenFd_, 4) != 0)
        return fail("listen");
    socklen_t length = sizeof address;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    if (::pipe2(wakeFds_, O_CLOEXEC) != 0)
        return fail("pipe");
    thread_ = std::thread(std::move(serve));
    return true;
}

void LoopbackServer::stop() {
    if (thread_.joinable()) {
        wake('s');
        thread_.join();
    }
    for (int* fd : {&listenFd_, &wakeFds_[0], &wakeFds_[1]}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void LoopbackServer::wake(char byte) const {
    if (wakeFds_[1] >= 0) [[maybe_unused]]
        const auto written = ::write(wakeFds_[1], &byte, 1);
}

} // namespace kovo::sim
