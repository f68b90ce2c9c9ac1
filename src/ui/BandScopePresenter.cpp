#include "ui/BandScopePresenter.h"

#include "data/CKovo5Doc.h"
#include "data/ValueTables.h"
#include "scan/BandScope.h"
#include "scan/ScanSteps.h"
#include "scan/TuningRules.h"
#include "ui/BandScopePanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelList.h"
#include "ui/ScopeGeometry.h"
#include "ui/ScopePlot.h"
#include "ui/ViewInterfaces.h"

#include <vector>

namespace kovo {
namespace {

constexpr int kPlotLeft = 50;

QString megahertz(std::uint32_t hz) {
    return QString::fromLatin1(formatMegahertz(hz).c_str());
}

} // namespace

void BandScopePresenter::reset() {
    const BandScope::Window& w = ports_.core.bandScope().window();
    BandScopePanel& p = ports_.panel;
    ScopePlot& plot = p.plot();
    plot.clearBars();
    plot.setSweepGeometry(w.points, w.barHalfWidth);
    p.restartKey().setVisible(ports_.doc.controlParams.mode() == OperatingMode::ActiveBandScope);
    QStringList spans;
    for (int r = 0; r < 7; ++r) {
        const auto name = spanName(2 * r + w.fractional);
        spans << QString::fromLatin1(name.data(), int(name.size()));
    }
    p.spanList().setRows(spans);
    p.spanList().showRow(ports_.doc.controlParams.scopeRange);
    p.startText().showText(megahertz(w.start));
    p.centreText().showText(megahertz(w.centre));
    p.endText().showText(megahertz(w.end));
}

void BandScopePresenter::showStatic() {
    CKovo5Doc& d = ports_.doc;
    const BandScope::Window& w = ports_.core.bandScope().window();
    BandScopePanel& p = ports_.panel;
    p.restartKey().hide();
    std::vector<ScopePlot::StaticBar> bars;
    int i = d.channelTable().findChannel(w.start);
    if (i < 0)
        i = d.channelTable().insertPosition();
    for (; i < d.channelCount; ++i) {
        const CFrequencyData& ch = *d.channels[std::size_t(i)];
        if (ch.frequency > w.end)
            break;
        if (ch.heard == 1)
            bars.push_back({scope::staticX(w, ch.frequency), scope::staticHalfWidth(w, ch.step),
                            scope::barTop(ch.maxSignal, true)});
    }
    p.plot().setStaticMode(true);
    p.plot().setStaticBars(std::move(bars));
}

void BandScopePresenter::plotPoint(bool signalPresent, int level) {
    BandScopePanel& p = ports_.panel;
    p.restartKey().show();
    const int top = signalPresent ? scope::barTop(level, false) : 0;
    p.plot().setBar(ports_.core.bandScope().window().sweepIndex, top);
}

void BandScopePresenter::moveCursor(int sweepIndex) {
    ports_.panel.plot().moveCursor(scope::pointX(ports_.core.bandScope().window(), sweepIndex));
}

void BandScopePresenter::showOperatingMode(OperatingMode mode) {
    ports_.panel.restartKey().setVisible(mode == OperatingMode::ActiveBandScope);
    ports_.panel.plot().setStaticMode(mode == OperatingMode::StaticBandScope);
}

void BandScopePresenter::onSpanChosen(int row) {
    ports_.core.operations().chooseScopeSpan(row);
}

void BandScopePresenter::onRestartClicked() {
    ports_.core.operations().resumeScopeSweep();
}

void BandScopePresenter::onPointer(int x) {
    PanelText& text = ports_.panel.pointerText();
    if (x < 0) {
        text.showText(QString());
        return;
    }
    const BandScope::Window& w = ports_.core.bandScope().window();
    text.showText(megahertz(scope::frequencyAtOffset(w, x - kPlotLeft + w.barHalfWidth)));
}

void BandScopePresenter::onClick(int x, Qt::MouseButton button) {
    const BandScope::Window& w = ports_.core.bandScope().window();
    const int u = x - kPlotLeft + w.barHalfWidth;
    const OperatingMode mode = ports_.doc.controlParams.mode();
    // In the active scope the sweep stands on the clicked point (this also
    // moves the cursor).
    std::optional<int> hold;
    if (button == Qt::LeftButton && mode == OperatingMode::ActiveBandScope)
        hold = scope::sweepIndexAtOffset(w, u);
    ports_.core.operations().tuneFromScope(scope::frequencyAtOffset(w, u), hold);
    if (button == Qt::RightButton) {
        // Re-centre on the clicked frequency.
        ports_.core.setOperatingMode(mode);
        return;
    }
    ports_.refreshPanels();
}

} // namespace kovo
