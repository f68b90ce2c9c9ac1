#pragma once
#include <QComboBox>

namespace kovo {

// A drop-down list of the panels: green text on black, small font, a closed
// field 13 pixels high and rows 12 pixels high.
class PanelList : public QComboBox {
    Q_OBJECT
public:
    PanelList(int id, const QRect& closedRect, const QFont& font, QWidget* parent);

    int id() const { return id_; }
    // Selects a row without reporting a user change; does nothing when it is selected.
    void showRow(int row);
    // Replaces the rows (keeps the signals quiet).
    void setRows(const QStringList& rows);

signals:
    void userChose(int id, int row);

protected:
    // The closed field is drawn by hand: green on black with a small arrow.
    void paintEvent(QPaintEvent*) override;

private:
    int id_;
};

} // namespace kovo
