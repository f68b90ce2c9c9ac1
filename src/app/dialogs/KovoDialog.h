#pragma once
#include <QDialog>
#include <QRect>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kovo {

// Base of the program's small fixed-size dialogs: dark green background with
// yellow text, controls placed in dialog units (a quarter of the average
// character width across, an eighth of the character height down), and OK
// that first stores the edited values (storeValues) and then closes. Cancel
// and closing the window change nothing.
class KovoDialog : public QDialog {
    Q_OBJECT
public:
    void accept() override;

protected:
    // `widthDu` x `heightDu` is the client size in dialog units.
    KovoDialog(const QString& title, int widthDu, int heightDu, QWidget* parent);

    virtual void storeValues() {}

    QRect du(int x, int y, int width, int height) const;
    int duToPixelsX(int x) const;
    int duToPixelsY(int y) const;
    // Never narrower than the title bar needs to show the title whole.
    void resizeDu(int widthDu, int heightDu);
    // The dialog width, at least `minimumDu`, that shows `text` whole on one line
    // starting at `xDu` with `marginDu` to spare on the right.
    int widthFittingDu(const QString& text, int xDu, int marginDu, int minimumDu) const;

    QRadioButton* addRadio(const QString& text, const QRect& geometry);
    QCheckBox* addCheck(const QString& text, const QRect& geometry);
    QLabel* addLabel(const QString& text, const QRect& geometry);
    // OK (the default button) and Cancel.
    QPushButton* addOk(const QRect& geometry, const QString& text = QStringLiteral("OK"));
    QPushButton* addCancel(const QRect& geometry, const QString& text = QStringLiteral("Cancel"));

private:
    QRect widenedToFit(QRect geometry, int wantedWidth) const;
    int titleBarWidth() const;

    double baseX_ = 6;
    double baseY_ = 13;
};

// The program's dialog colours: background RGB(0, 64, 0), text RGB(255, 255, 0).
void applyDialogColours(QWidget* widget);

} // namespace kovo
