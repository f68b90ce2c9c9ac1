// The Hamlib protocol server on a real TCP socket, driven by a raw client.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QHostAddress>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fakes/QtReceiverRig.h"
#include "fakes/RawPeer.h"
#include "net/RigctlServer.h"

namespace kovo::test {
namespace {

class StillRig final : public RigTarget {
public:
    std::uint32_t hz = 145500000;
    std::uint32_t frequency() const override { return hz; }
    bool tune(std::uint32_t f) override {
        hz = f;
        return true;
    }
    int mode() const override { return 0; }
    int ifBandwidth() const override { return 3; }
    bool hasMode(int m) const override { return m >= 0 && m < 6; }
    void setMode(int, std::optional<int>) override {}
    std::optional<int> signalValue() const override { return 4; }
    bool receiverAnswering() const override { return true; }
};

// A client on a plain non-blocking socket, so that the server runs on this
// thread's event loop while the client waits.
class RawClient {
public:
    explicit RawClient(quint16 port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
        ::fcntl(fd_, F_SETFL, O_NONBLOCK);
    }
    ~RawClient() { ::close(fd_); }
    bool connected() const { return connected_; }
    void send(const std::string& text) { ::write(fd_, text.data(), text.size()); }
    void shutDownSending() { ::shutdown(fd_, SHUT_WR); }
    // Everything the server sends until it closes the connection.
    std::string readToEnd(int timeoutMs) {
        std::string received;
        bool ended = false;
        waitFor(
            [&] {
                char buffer[512];
                for (;;) {
                    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
                    if (n > 0) {
                        received.append(buffer, std::size_t(n));
                        continue;
                    }
                    ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
                    return ended;
                }
            },
            timeoutMs);
        EXPECT_TRUE(ended) << "the server closes once it has answered";
        return received;
    }

private:
    int fd_;
    bool connected_ = false;
};

// `echo f | nc host 4532`: the client sends its lines and shuts its sending
// side at once; every complete line is answered before the connection ends,
// and a last line without its line end is not a command.
TEST(RigctlServerTest, AClientThatHalfClosesGetsEveryAnswer) {
    StillRig rig;
    RigctlServer server(rig);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    for (const std::string& sent : {std::string("f\n"), std::string("F 433500000\nf\nf")}) {
        rig.hz = 145500000;
        RawClient client(server.port());
        ASSERT_TRUE(client.connected());
        client.send(sent);
        client.shutDownSending();
        const std::string expected = sent == "f\n" ? "145500000\n" : "RPRT 0\n433500000\n";
        EXPECT_EQ(client.readToEnd(5000), expected) << sent;
    }
}

// Sends "f" and waits (a few seconds at most) for the whole answer line.
std::string askFrequency(RawPeer& peer) {
    peer.send("f\n");
    std::string answer;
    waitFor(
        [&] {
            answer += peer.take();
            return answer.ends_with('\n');
        },
        5000);
    return answer;
}

// Forty clients that connect and say nothing hold the sixteen places only
// until someone else wants one, and not past the idle time.
TEST(RigctlServerTest, SilentClientsGiveTheirPlacesUp) {
    StillRig rig;
    constexpr ConnectionGate::Limits kShort{RigctlServer::kMaxClients, RigctlServer::kMaxClients,
                                            1500, 200};
    RigctlServer server(rig, nullptr, kShort);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 0; i < 40; ++i)
        silent.push_back(std::make_unique<RawPeer>(server.port()));
    ASSERT_TRUE(waitFor([&] { return server.clientCount() == RigctlServer::kMaxClients; }, 5000));
    runEventLoopFor(300);
    RawPeer talker(server.port());
    EXPECT_EQ(askFrequency(talker), "145500000\n");
    // The silent ones are all closed by the idle time; the talker, asking
    // now and then, stays.
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    EXPECT_TRUE(waitFor(
        [&] {
            if (sinceAsked.elapsed() > 200) {
                talker.send("f\n");
                sinceAsked.restart();
            }
            return server.clientCount() == 1;
        },
        5000));
    bool ended = false;
    talker.take(&ended);
    EXPECT_FALSE(ended);
}

// Fifteen clients pour thousands of lines in; a sixteenth asking once is
// answered long before they are, since each client gets a few lines a turn.
TEST(RigctlServerTest, BusyClientsShareTheEventLoopFairly) {
    StillRig rig;
    RigctlServer server(rig);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    constexpr int kLines = 2000;
    std::string flood;
    for (int i = 0; i < kLines; ++i)
        flood += "f\n";
    std::vector<std::unique_ptr<RawPeer>> busy;
    for (int i = 0; i < 15; ++i) {
        busy.push_back(std::make_unique<RawPeer>(server.port()));
        busy.back()->send(flood);
    }
    ASSERT_TRUE(waitFor([&] { return server.clientCount() == 15; }, 5000));
    RawPeer quiet(server.port());
    const std::string answer = askFrequency(quiet);
    std::size_t answeredToBusy = 0;
    for (auto& client : busy) {
        const std::string got = client->take();
        answeredToBusy += std::size_t(std::count(got.begin(), got.end(), '\n'));
    }
    // Far fewer than the second's allowance each would have given them.
    EXPECT_LT(answeredToBusy, std::size_t(15 * RigctlServer::kLinesPerSecond / 2));
    EXPECT_EQ(answer, "145500000\n");
}

} // namespace
} // namespace kovo::test
