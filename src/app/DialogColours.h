#pragma once
#include <QObject>

namespace kovo {

// Dialogs and message boxes of the whole program are dark green with yellow
// text; file dialogs keep the desktop's colours so that their lists stay
// readable. Installed on the application.
class DialogColours final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kovo
