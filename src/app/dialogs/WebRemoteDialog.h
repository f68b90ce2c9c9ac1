#pragma once
#include "app/WebRemoteService.h"
#include "app/dialogs/KovoDialog.h"

#include <QImage>

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace kovo {

// The page's address as a QR code a phone's camera reads: black modules on
// white with a quiet zone, `scale` pixels a module. A null image when the
// text does not fit a code.
QImage qrCodeImage(const QString& text, int scale);

// "Web remote…": whether the program serves its web page, on which port, to
// this computer only or to other devices too, and the link with its access
// token as text (whole, to read or copy) and as a QR code. "New token" makes every earlier link
// stop working at once.
class WebRemoteDialog final : public KovoDialog {
    Q_OBJECT
public:
    struct Actions {
        std::function<void(const WebRemoteSettings&)> store;
        std::function<QString()> link;
        std::function<void()> renewToken;
    };

    WebRemoteDialog(const WebRemoteSettings& settings, Actions actions, QWidget* parent = nullptr);

protected:
    void storeValues() override;

private:
    void showLink();

    WebRemoteSettings settings_;
    Actions actions_;
    QCheckBox* enabled_ = nullptr;
    QSpinBox* port_ = nullptr;
    QCheckBox* otherDevices_ = nullptr;
    QPlainTextEdit* link_ = nullptr;
    QLabel* code_ = nullptr;
};

} // namespace kovo
