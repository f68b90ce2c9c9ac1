#include "ui/MessageBoxNotifier.h"

#include <QMessageBox>

namespace kovo {

void MessageBoxNotifier::showMessage(const std::string& text)
{
    QMessageBox::information(parent_, QStringLiteral("KOVO3000"), QString::fromStdString(text));
}

bool MessageBoxNotifier::askYesNo(const std::string& text)
{
    return QMessageBox::question(parent_, QStringLiteral("KOVO3000"), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace kovo
