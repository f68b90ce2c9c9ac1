#include "app/RigctlService.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"
#include "net/ReceiverRigTarget.h"
#include "net/RigctlServer.h"

#include <QHostAddress>

namespace kovo {

namespace {

constexpr const char* kEnabledName = "RigctlServer";
constexpr const char* kPortName = "RigctlPort";
constexpr const char* kAddressName = "RigctlAddress";

} // namespace

RigctlSettings RigctlSettings::load(const SettingsStore& store) {
    RigctlSettings s;
    s.enabled = store.readInt(settings::kSoftSection, kEnabledName).value_or(0) == 1;
    const int port = store.readInt(settings::kSoftSection, kPortName).value_or(kDefaultPort);
    s.port = port >= 1 && port <= 65535 ? port : kDefaultPort;
    const auto address = store.readString(settings::kSoftSection, kAddressName);
    if (address && !QHostAddress(QString::fromStdString(*address)).isNull())
        s.address = *address;
    return s;
}

void RigctlSettings::store(SettingsStore& store) const {
    store.writeInt(settings::kSoftSection, kEnabledName, enabled ? 1 : 0);
    store.writeInt(settings::kSoftSection, kPortName, port);
    store.writeString(settings::kSoftSection, kAddressName, address);
}

RigctlService::RigctlService(ReceiverCore& core, QObject* parent)
    : QObject(parent), target_(std::make_unique<ReceiverRigTarget>(core)),
      server_(std::make_unique<RigctlServer>(*target_)) {}

RigctlService::~RigctlService() = default;

std::optional<QString> RigctlService::apply(const RigctlSettings& settings) {
    applied_ = settings;
    server_->close();
    if (!settings.enabled)
        return std::nullopt;
    const QHostAddress address(QString::fromStdString(settings.address));
    if (address.isNull())
        return QStringLiteral("%1 is not an IP address")
            .arg(QString::fromStdString(settings.address));
    QString error;
    if (!server_->listen(address, quint16(settings.port), &error))
        return error;
    return std::nullopt;
}

bool RigctlService::listening() const {
    return server_->isListening();
}

quint16 RigctlService::port() const {
    return server_->port();
}

RigctlSettings RigctlService::inEffect() const {
    RigctlSettings settings = applied_;
    settings.enabled = listening();
    return settings;
}

} // namespace kovo
