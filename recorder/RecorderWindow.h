#pragma once
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace kovo::recorder {

class Recorder;

// The recorder's small window: link state, input level, the file being
// written, the last recordings with play buttons, the folder and the disk
// space left.
class RecorderWindow final : public QWidget {
    Q_OBJECT
public:
    explicit RecorderWindow(Recorder& recorder, QWidget* parent = nullptr);

    static constexpr int kRecentCount = 20;

private:
    void showLink(bool linked);
    void showDisk();
    void addRecording(const QString& name, bool atTop);
    void removeRecordings(const QStringList& names);
    void loadRecent();

    Recorder& recorder_;
    QLabel* link_;
    QProgressBar* level_;
    QLabel* current_;
    QTreeWidget* recent_;
    QPushButton* stop_;
    QLineEdit* folder_;
    QLabel* disk_;
    QTimer meterTimer_;
};

} // namespace kovo::recorder
