#pragma once
#include "ui/PanelBase.h"

namespace kovo {

class ImageKey;
class PanelList;
class ScopePlot;
struct PanelFonts;

// The band scope strip: level scale, plot, start/centre/end texts, the
// frequency under the pointer, the span list and the RESTART key.
class BandScopePanel : public PanelBase {
    Q_OBJECT
public:
    static constexpr int kSpanListId = 2700;
    static constexpr int kRestartId = 2800;
    static const QRect kPlotRect; // (50,6)-(451,74)

    BandScopePanel(const PanelFonts& fonts, QWidget* parent);

    ScopePlot& plot() const { return *plot_; }
    PanelList& spanList() const { return *spanList_; }
    ImageKey& restartKey() const { return *restart_; }
    PanelText& startText() const { return *start_; }
    PanelText& centreText() const { return *centre_; }
    PanelText& endText() const { return *end_; }
    PanelText& pointerText() const { return *pointer_; }

signals:
    void spanChosen(int row);
    void restartClicked();
    // Pointer x in panel coordinates over the plot; -1 when it left the plot.
    void pointerMoved(int x);
    void plotClicked(int x, Qt::MouseButton button);

protected:
    void paintBackdrop(QPainter& p) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ScopePlot* plot_ = nullptr;
    PanelList* spanList_ = nullptr;
    ImageKey* restart_ = nullptr;
    PanelText* start_ = nullptr;
    PanelText* centre_ = nullptr;
    PanelText* end_ = nullptr;
    PanelText* pointer_ = nullptr;
};

} // namespace kovo
