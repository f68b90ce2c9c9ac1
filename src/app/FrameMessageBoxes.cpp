#include "app/FrameMessageBoxes.h"

#include <QMessageBox>
#include <QString>

namespace kovo {
Notifier::Answer FrameMessageBoxes::askYesNoCancel(const std::string& text) {
    const auto button = QMessageBox::question(
        parent_, QString::fromLatin1(kProgramTitle), QString::fromUtf8(text.c_str()),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

} // namespace kovo
