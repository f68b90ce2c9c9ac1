// recorder-stub [--no-audio]: a stand-in for the companion audio recorder.
// It links up with a running KOVO3000 over the window bus, writes one line
// on standard output for every message it is sent (with the recorder record
// where there is one), and ends the link on SIGINT or SIGTERM. With
// --no-audio it answers every playback request with "no audio".
#include "data/Cp932.h"
#include "ipc/Blocks.h"
#include "ipc/Codes.h"
#include "ipc/WindowBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>

#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using kovo::ipc::Message;
using kovo::ipc::WindowHandle;
namespace recorder = kovo::ipc::recorder;

constexpr const char* kRecordMemory = "/MemBromControl";

int signalPipe[2] = {-1, -1};
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// The recorder record as the program left it in the shared memory.
std::string describeRecord() {
    const int fd = ::shm_open(kRecordMemory, O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0)
        return "no record";
    std::uint8_t bytes[kovo::ipc::kRecorderRecordSize] = {};
    const bool ok = ::pread(fd, bytes, sizeof bytes, 0) == ssize_t(sizeof bytes);
    ::close(fd);
    if (!ok)
        return "no record";
    const auto* text = reinterpret_cast<const char*>(bytes + 20);
    char line[256];
    std::snprintf(line, sizeof line, "frequency=%u time=%d comment=\"%s\"",
                  kovo::ipc::getU32(bytes, 4), std::int32_t(kovo::ipc::getU32(bytes, 8)),
                  kovo::cp932ToUtf8(std::string(text, strnlen(text, 64))).c_str());
    return line;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool noAudio = app.arguments().contains(QStringLiteral("--no-audio"));

    // The record lives in shared memory the recorder provides; one that is
    // already there is used as it is, and stays when the stub ends.
    int memory = ::shm_open(kRecordMemory, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool created = memory >= 0;
    if (!created)
        memory = ::shm_open(kRecordMemory, O_RDWR | O_CLOEXEC, 0);
    if (memory < 0 || (created && ::ftruncate(memory, off_t(kovo::ipc::kMappingSize)) != 0)) {
        std::fprintf(stderr, "recorder-stub: cannot create %s\n", kRecordMemory);
        if (created)
            ::shm_unlink(kRecordMemory);
        return 1;
    }
    ::close(memory);

    WindowHandle program = kovo::ipc::kNoWindow;
    kovo::ipc::WindowBus* busPointer = nullptr;
    kovo::ipc::WindowBus bus(
        QDBusConnection::sessionBus(), {Message::BromControl},
        [&](Message, std::uint32_t code, std::uint32_t value) -> std::int32_t {
            const bool withRecord =
                code == recorder::kRecordWritten || code == recorder::kStartPlayback;
            std::printf("BROMControl %u %u%s%s\n", code, value, withRecord ? " " : "",
                        withRecord ? describeRecord().c_str() : "");
            std::fflush(stdout);
            if (code == recorder::kHello && value != 0) {
                // Answered once this call is over: the program is waiting on it.
                program = value;
                QTimer::singleShot(0, &app, [&] {
                    busPointer->send(program, Message::BromAnswer, recorder::kLinkAgain,
                                     busPointer->ownWindow());
                });
            } else if (code == recorder::kGoodbye && busPointer->callerIs(program)) {
                program = kovo::ipc::kNoWindow; // another program's goodbye is not ours
            }
            if (code == recorder::kStartPlayback && noAudio)
                return -1;
            return 1;
        },
        [] { return QStringLiteral("recorder-stub"); });
    busPointer = &bus;
    bus.setServeWhileWaiting(true);
    if (!bus.open()) {
        std::fprintf(stderr, "recorder-stub: no session bus\n");
        return 1;
    }
    // Links up with the first program already running that answers.
    for (WindowHandle w : bus.otherWindows()) {
        if (bus.handlesOf(w).contains(QStringLiteral("BROMAnswer")) &&
            bus.send(w, Message::BromAnswer, recorder::kHello, bus.ownWindow()) == 1) {
            program = w;
            break;
        }
    }
    std::printf("recorder-stub %u ready%s\n", bus.ownWindow(), program ? " and linked" : "");
    std::fflush(stdout);

    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&] {
            if (program)
                bus.send(program, Message::BromAnswer, recorder::kGoodbye, 0);
            app.quit();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    const int status = app.exec();
    if (created)
        ::shm_unlink(kRecordMemory);
    return status;
}
