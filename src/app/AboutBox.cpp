#include "AboutBox.h"

#include "SplashScreen.h"
#include "app/dialogs/KovoDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kovo {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("KOVO3000 のバージョン情報"));
    setModal(true);
    applyDialogColours(this);

    auto* picture = new QLabel(this);
    picture->setPixmap(SplashScreen::artwork().scaledToWidth(180, Qt::SmoothTransformation));

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("aboutText"));
    text->setText(QStringLiteral("KOVO3000 Version %1\n\n"
                                 "AR3000 / AR3000A receiver control for Linux\n"
                                 "Fennelworks")
                      .arg(QCoreApplication::applicationVersion()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(text);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kovo
