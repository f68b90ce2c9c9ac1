#include "RecorderWindow.h"

#include "FolderCap.h"
#include "Recorder.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace kovo::recorder {

RecorderWindow::RecorderWindow(Recorder& recorder, QWidget* parent)
    : QWidget(parent), recorder_(recorder), link_(new QLabel(this)), level_(new QProgressBar(this)),
      current_(new QLabel(this)), recent_(new QTreeWidget(this)),
      stop_(new QPushButton(tr("Stop playback"), this)), folder_(new QLineEdit(this)),
      disk_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("KOVO Recorder"));
    link_->setAccessibleName(tr("Link to KOVO3000"));
    level_->setRange(0, 100);
    level_->setTextVisible(false);
    level_->setAccessibleName(tr("Input level"));
    current_->setAccessibleName(tr("File being written"));
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    recent_->setAccessibleName(tr("Last recordings"));
    recent_->setHeaderLabels({tr("Recording"), tr("Play")});
    recent_->setRootIsDecorated(false);
    recent_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    recent_->header()->setStretchLastSection(false);
    stop_->setAccessibleName(tr("Stop playback"));
    folder_->setReadOnly(true);
    folder_->setAccessibleName(tr("Recordings folder"));
    folder_->setText(QString::fromStdString(recorder_.folder().string()));
    disk_->setAccessibleName(tr("Disk space left"));

    auto* form = new QFormLayout;
    form->addRow(tr("Link:"), link_);
    form->addRow(tr("Input level:"), level_);
    form->addRow(tr("Recording:"), current_);
    form->addRow(tr("Folder:"), folder_);
    form->addRow(tr("Disk space:"), disk_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(recent_, 1);
    layout->addWidget(stop_, 0, Qt::AlignRight);
    resize(460, 420);

    connect(&recorder_, &Recorder::linkChanged, this, &RecorderWindow::showLink);
    connect(&recorder_, &Recorder::recordingStarted, current_, &QLabel::setText);
    connect(&recorder_, &Recorder::recordingFinished, this, [this](const QString& name) {
        current_->setText(recorder_.currentFile());
        addRecording(name, true);
    });
    connect(&recorder_, &Recorder::recordingsRemoved, this, &RecorderWindow::removeRecordings);
    connect(&recorder_, &Recorder::diskStateChanged, this, &RecorderWindow::showDisk);
    connect(stop_, &QPushButton::clicked, &recorder_, &Recorder::stopPlayback);
    meterTimer_.setInterval(100);
    connect(&meterTimer_, &QTimer::timeout, this, [this] {
        level_->setValue(int(recorder_.level() * 100.0f));
        showDisk();
    });
    meterTimer_.start();
    showLink(recorder_.linked());
    current_->setText(recorder_.currentFile());
    showDisk();
    loadRecent();
}

void RecorderWindow::showLink(bool linked) {
    link_->setText(linked ? tr("Linked to KOVO3000") : tr("Waiting for KOVO3000"));
}

void RecorderWindow::showDisk() {
    const QString left = QLocale().formattedDataSize(qint64(recorder_.freeSpace()));
    disk_->setText(recorder_.refusing()
                       ? tr("%1 left: not recording, the disk is nearly full").arg(left)
                       : tr("%1 left").arg(left));
    disk_->setStyleSheet(recorder_.refusing() ? QStringLiteral("color: #c00000") : QString());
}

void RecorderWindow::addRecording(const QString& name, bool atTop) {
    if (name.isEmpty())
        return;
    auto* item = new QTreeWidgetItem({name});
    if (atTop)
        recent_->insertTopLevelItem(0, item);
    else
        recent_->addTopLevelItem(item);
    auto* play = new QPushButton(tr("Play"), recent_);
    play->setAccessibleName(tr("Play %1").arg(name));
    connect(play, &QPushButton::clicked, this, [this, name] { recorder_.play(name); });
    recent_->setItemWidget(item, 1, play);
    while (recent_->topLevelItemCount() > kRecentCount)
        delete recent_->takeTopLevelItem(recent_->topLevelItemCount() - 1);
}

void RecorderWindow::removeRecordings(const QStringList& names) {
    for (int i = recent_->topLevelItemCount() - 1; i >= 0; --i)
        if (names.contains(recent_->topLevelItem(i)->text(0)))
            delete recent_->takeTopLevelItem(i);
}

void RecorderWindow::loadRecent() {
    auto files = listRecordings(recorder_.folder());
    std::sort(files.begin(), files.end(), [](const StoredRecording& a, const StoredRecording& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
    });
    for (std::size_t i = 0; i < files.size() && i < std::size_t(kRecentCount); ++i)
        addRecording(QString::fromStdString(files[i].name), false);
}

} // namespace kovo::recorder
