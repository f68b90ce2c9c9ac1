#include "ui/MessageBoxNotifier.h"

#include <QMessageBox>

namespace kovo {

void MessageBoxNotifier::showMessage(const std::string& text) {
    show(text);
}

void MessageBoxNotifier::showMessageThen(const std::string& text, std::function<void()> closed) {
    QObject::connect(show(text), &QDialog::finished, [closed = std::move(closed)] { closed(); });
}

QMessageBox* MessageBoxNotifier::show(const std::string& text) {
    const QString message = QString::fromStdString(text);
    for (QMessageBox* box : openMessages()) {
        if (box->text() == message) {
            box->raise();
            return box;
        }
    }
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(kProgramTitle),
                                message, QMessageBox::Ok, parent_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    messages_.append(box);
    return box;
}

void MessageBoxNotifier::withdrawMessage(const std::string& text) {
    const QString message = QString::fromStdString(text);
    for (QMessageBox* box : openMessages())
        if (box->text() == message)
            box->close();
}

bool MessageBoxNotifier::askYesNo(const std::string& text) {
    return QMessageBox::question(parent_, QString::fromLatin1(kProgramTitle),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QList<QMessageBox*> MessageBoxNotifier::openMessages() const {
    QList<QMessageBox*> open;
    for (const QPointer<QMessageBox>& box : messages_)
        if (box && box->isVisible())
            open.append(box.data());
    return open;
}

} // namespace kovo
