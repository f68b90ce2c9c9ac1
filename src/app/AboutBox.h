#pragma once
#include <QDialog>

namespace kovo {

// The modal "About" dialog: the program's name, version and purpose.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

} // namespace kovo
