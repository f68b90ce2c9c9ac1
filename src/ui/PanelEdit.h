#pragma once
#include <QLineEdit>

#include <functional>

namespace kovo {

// A single-line amber text field of the panels. Enter and Escape are offered
// to a handler first; when it declines they keep their ordinary meaning.
class PanelEdit : public QLineEdit {
    Q_OBJECT
public:
    using KeyHandler = std::function<bool(PanelEdit& field, bool enter)>;

    PanelEdit(int id, const QRect& rect, const QFont& font, bool border, QWidget* parent);

    int id() const { return id_; }
    void setKeyHandler(KeyHandler handler) { handler_ = std::move(handler); }
    // Writes the text only when it differs from what the field shows.
    void showText(const QString& text);
    // Amber normally; other colours are used by the strips.
    void setFieldColour(const QColor& background);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyStyle();

    int id_;
    bool border_;
    QColor colour_;
    KeyHandler handler_;
};

} // namespace kovo
