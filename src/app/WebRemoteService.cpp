#include "app/WebRemoteService.h"

#include "app/SettingsStore.h"
#include "app/SettingsTable.h"
#include "web/HitsFeed.h"
#include "web/RemoteReceiver.h"
#include "web/WebRemoteServer.h"

#include <QHostInfo>
#include <QNetworkInterface>
#include <QRandomGenerator>

#include <array>

namespace kovo {
namespace {

constexpr const char* kEnabledName = "WebRemote";
constexpr const char* kPortName = "WebRemotePort";
constexpr const char* kOtherDevicesName = "WebRemoteOtherDevices";
constexpr const char* kTokenName = "WebRemoteToken";
constexpr int kHitsIntervalMs = 1000;

// 32 random bytes from the system's generator, as 64 hexadecimal digits.
QByteArray freshToken() {
    std::array<quint32, 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), qsizetype(words.size()));
    return QByteArray(reinterpret_cast<const char*>(words.data()), qsizetype(sizeof words)).toHex();
}

bool isToken(const std::string& text) {
    return text.size() == 64 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// This computer's first address on a network, for a link other devices open.
QString networkAddress() {
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (!address.isLoopback() && address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    return QStringLiteral("127.0.0.1");
}

} // namespace

WebRemoteSettings WebRemoteSettings::load(const SettingsStore& store) {
    WebRemoteSettings s;
    s.enabled = store.readInt(settings::kSoftSection, kEnabledName).value_or(0) == 1;
    const int port = store.readInt(settings::kSoftSection, kPortName).value_or(kDefaultPort);
    s.port = port >= 1 && port <= 65535 ? port : kDefaultPort;
    s.otherDevices = store.readInt(settings::kSoftSection, kOtherDevicesName).value_or(0) == 1;
    return s;
}

void WebRemoteSettings::store(SettingsStore& store) const {
    store.writeInt(settings::kSoftSection, kEnabledName, enabled ? 1 : 0);
    store.writeInt(settings::kSoftSection, kPortName, port);
    store.writeInt(settings::kSoftSection, kOtherDevicesName, otherDevices ? 1 : 0);
}

WebRemoteService::WebRemoteService(CKovo5Doc& doc, ReceiverCore& core, SettingsStore& store,
                                   std::string historyPath, QObject* parent)
    : QObject(parent), store_(store), historyPath_(std::move(historyPath)),
      receiver_(std::make_unique<web::RemoteReceiver>(doc, core)) {}

WebRemoteService::~WebRemoteService() = default;

QByteArray WebRemoteService::token() {
    const auto stored = store_.readString(settings::kSoftSection, kTokenName);
    if (stored && isToken(*stored))
        return QByteArray::fromStdString(*stored);
    const QByteArray made = freshToken();
    store_.writeString(settings::kSoftSection, kTokenName, made.toStdString());
    return made;
}

std::optional<QString> WebRemoteService::apply(const WebRemoteSettings& settings) {
    applied_ = settings;
    hits_.reset();
    server_.reset();
    if (!settings.enabled)
        return std::nullopt;
    server_ = std::make_unique<web::WebRemoteServer>(*receiver_);
    server_->setToken(token());
    server_->setAudioSource(audio_);
    if (settings.otherDevices)
        server_->setExtraHostNames(
            {QHostInfo::localHostName(), QHostInfo::localHostName() + QStringLiteral(".local")});
    const QHostAddress address =
        settings.otherDevices ? QHostAddress::AnyIPv4 : QHostAddress::LocalHost;
    if (auto error = server_->start(address, quint16(settings.port))) {
        server_.reset();
        return error;
    }
    hits_ = std::make_unique<web::HitsFeed>(historyPath_, kHitsIntervalMs);
    connect(hits_.get(), &web::HitsFeed::hitsChanged, server_.get(),
            &web::WebRemoteServer::setHits);
    return std::nullopt;
}

bool WebRemoteService::listening() const {
    return server_ && server_->listening();
}

WebRemoteSettings WebRemoteService::inEffect() const {
    WebRemoteSettings settings = applied_;
    settings.enabled = listening();
    return settings;
}

QString WebRemoteService::link() {
    const QString host = applied_.otherDevices ? networkAddress() : QStringLiteral("127.0.0.1");
    const quint16 port = listening() ? server_->port() : quint16(applied_.port);
    return QStringLiteral("http://%1:%2/?token=%3")
        .arg(host)
        .arg(port)
        .arg(QString::fromLatin1(token()));
}

void WebRemoteService::renewToken() {
    const QByteArray made = freshToken();
    store_.writeString(settings::kSoftSection, kTokenName, made.toStdString());
    if (server_)
        server_->setToken(made);
}

void WebRemoteService::setAudioSource(web::AudioSource* audio) {
    audio_ = audio;
    if (server_)
        server_->setAudioSource(audio);
}

void WebRemoteService::reportAudioProblem(const QString& message) {
    if (server_)
        server_->reportAudioProblem(message);
}

} // namespace kovo
