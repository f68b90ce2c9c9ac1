#pragma once
#include "InterfaceLanguage.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

class QListWidget;
class QTextBrowser;
class QToolButton;

namespace kovo {

// The user guide shipped with the program, in a window of its own: the
// sections listed on the left, the text on the right, Back and Forward
// through the sections visited (Alt+Left, Alt+Right).
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(InterfaceLanguage language, QWidget* parent = nullptr);

    // The guide's address inside the program's resources.
    static QUrl guideUrl(InterfaceLanguage language);

    // Shows the section with this anchor.
    void showSection(const QString& anchor);

    QListWidget& contents() const { return *contents_; }
    QTextBrowser& browser() const { return *browser_; }
    QToolButton& backButton() const { return *back_; }
    QToolButton& forwardButton() const { return *forward_; }

private:
    void fillContents(const QString& html);

    QUrl guide_;
    QListWidget* contents_;
    QTextBrowser* browser_;
    QToolButton* back_;
    QToolButton* forward_;
};

} // namespace kovo
