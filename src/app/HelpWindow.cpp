#include "HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace kovo {
namespace {

QToolButton* makeButton(const QString& text, const QKeySequence& key, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAccessibleName(text);
    button->setShortcut(key);
    button->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) +
                       QLatin1Char(')'));
    button->setEnabled(false);
    return button;
}

} // namespace

QUrl HelpWindow::guideUrl(InterfaceLanguage language) {
    return QUrl(language == InterfaceLanguage::English ? QStringLiteral("qrc:/help/guide_en.html")
                                                       : QStringLiteral("qrc:/help/guide_ja.html"));
}

HelpWindow::HelpWindow(InterfaceLanguage language, QWidget* parent)
    : QWidget(parent, Qt::Window), guide_(guideUrl(language)) {
    setWindowTitle(tr("KOVO3000 Help"));
    setAccessibleName(tr("KOVO3000 Help"));
    resize(820, 560);

    back_ = makeButton(tr("Back"), QKeySequence(QKeySequence::Back), this);
    forward_ = makeButton(tr("Forward"), QKeySequence(QKeySequence::Forward), this);
    contents_ = new QListWidget(this);
    contents_->setAccessibleName(tr("Contents"));
    browser_ = new QTextBrowser(this);
    browser_->setAccessibleName(tr("Guide"));
    browser_->setOpenExternalLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch();
    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 600});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    // Arrow keys and clicks in the contents both open the section.
    connect(contents_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            showSection(item->data(Qt::UserRole).toString());
    });

    QFile file(QLatin1Char(':') + guide_.path());
    const QString html =
        file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    fillContents(html);
    browser_->setSource(guide_, QTextDocument::HtmlResource);
    setTabOrder(contents_, browser_);
}

void HelpWindow::fillContents(const QString& html) {
    // Each section's heading carries the anchor that the contents lead to.
    static const QRegularExpression heading(
        QStringLiteral("<h2><a name=\"([^\"]+)\">([^<]+)</a></h2>"));
    for (auto it = heading.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        auto* item = new QListWidgetItem(m.captured(2), contents_);
        item->setData(Qt::UserRole, m.captured(1));
    }
}

void HelpWindow::showSection(const QString& anchor) {
    QUrl target = guide_;
    target.setFragment(anchor);
    if (browser_->source() != target)
        browser_->setSource(target, QTextDocument::HtmlResource);
}

} // namespace kovo
