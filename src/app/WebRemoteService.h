#pragma once
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

namespace kovo {

class CKovo5Doc;
class ReceiverCore;
class SettingsStore;

namespace web {
class AudioSource;
class HitsFeed;
class RemoteReceiver;
class WebRemoteServer;
} // namespace web

// The web remote as set in "Soft Setting": off unless switched on, port
// 8073, this computer only unless other devices are allowed. The access
// token is made on first use and kept until the user asks for a new one.
struct WebRemoteSettings {
    static constexpr int kDefaultPort = 8073;

    bool enabled = false;
    int port = kDefaultPort;
    bool otherDevices = false;

    static WebRemoteSettings load(const SettingsStore& store);
    void store(SettingsStore& store) const;
    bool operator==(const WebRemoteSettings&) const = default;
};

// The web remote of the program: the page's server with the receiver's
// read-outs and controls and the latest hits of the history store.
class WebRemoteService final : public QObject {
    Q_OBJECT
public:
    WebRemoteService(CKovo5Doc& doc, ReceiverCore& core, SettingsStore& store,
                     std::string historyPath, QObject* parent = nullptr);
    ~WebRemoteService() override;

    // Starts, restarts or stops the server; the reason when it cannot listen.
    std::optional<QString> apply(const WebRemoteSettings& settings);
    bool listening() const;
    WebRemoteSettings inEffect() const;

    // The page's address with the token, for this computer or (other
    // devices allowed) for this computer's address on the network.
    QString link();
    // A new token: every link given out before stops working.
    void renewToken();
    void setAudioSource(web::AudioSource* audio);
    // Tells the pages that listen why the sound stopped.
    void reportAudioProblem(const QString& message);

    web::WebRemoteServer* server() { return server_.get(); }

private:
    QByteArray token();

    SettingsStore& store_;
    std::string historyPath_;
    WebRemoteSettings applied_;
    std::unique_ptr<web::RemoteReceiver> receiver_;
    std::unique_ptr<web::WebRemoteServer> server_;
    std::unique_ptr<web::HitsFeed> hits_;
    web::AudioSource* audio_ = nullptr;
};

} // namespace kovo
