// The band scope: entering it, the sweep, plotting and the mouse over the plot.
#include "ui/CKovo5View.h"

#include "data/CKovo5Doc.h"
#include "data/ValueTables.h"
#include "ui/BandScopePanel.h"
#include "ui/ImageKey.h"
#include "ui/PanelList.h"
#include "ui/PanelStack.h"
#include "ui/ScopePlot.h"

#include <vector>

namespace kovo {
namespace {

constexpr int kPlotLeft = 50;

QString megahertz(std::uint32_t hz) { return QString::fromLatin1(formatMegahertz(hz).c_str()); }

} // namespace

void CKovo5View::enterScopeMode(bool active)
{
    CKovo5Doc& d = ports_.doc;
    scope_.setCentre(d.mainRecord.frequency);
    scope_.recomputeFromStep(d.mainRecord.step, d.controlParams.scopeRange);
    refreshControl1FromReceiver();
    resetScope();
    d.controlParams.manualTuning = 0;
    if (active)
        restartSweep();
    else
        showStaticScope();
}

void CKovo5View::resetScope()
{
    BandScopePanel& p = stack_->bandScope();
    ScopePlot& plot = p.plot();
    plot.clearBars();
    plot.setSweepGeometry(scope_.points(), scope_.barHalfWidth());
    p.restartKey().setVisible(ports_.doc.controlParams.operatingMode == 3);
    QStringList spans;
    for (int r = 0; r < 7; ++r) {
        const auto name = spanName(2 * r + scope_.fractional());
        spans << QString::fromLatin1(name.data(), int(name.size()));
    }
    p.spanList().setRows(spans);
    p.spanList().showRow(scope_.range());
    p.startText().showText(megahertz(scope_.start()));
    p.centreText().showText(megahertz(scope_.centre()));
    p.endText().showText(megahertz(scope_.end()));
}

void CKovo5View::showStaticScope()
{
    CKovo5Doc& d = ports_.doc;
    BandScopePanel& p = stack_->bandScope();
    p.restartKey().hide();
    std::vector<ScopePlot::StaticBar> bars;
    int i = d.findChannel(scope_.start());
    if (i < 0)
        i = d.insertPosition;
    for (; i < d.channelCount; ++i) {
        const CFrequencyData& ch = *d.channels[std::size_t(i)];
        if (ch.frequency > scope_.end())
            break;
        if (ch.heard != 1)
            continue;
        const int x = int(std::uint64_t(ch.frequency - scope_.start()) * 400 / scope_.span());
        bars.push_back({x, scope_.staticHalfWidth(ch.step), BandScopeModel::barTop(ch.maxSignal, true)});
    }
    p.plot().setStaticMode(true);
    p.plot().setStaticBars(std::move(bars));
}

void CKovo5View::plotScopePoint(bool signalPresent, int level)
{
    BandScopePanel& p = stack_->bandScope();
    p.restartKey().show();
    const int top = signalPresent ? BandScopeModel::barTop(level, false) : 0;
    p.plot().setBar(scope_.sweepIndex(), top);
}

void CKovo5View::moveScopeCursor(int sweepIndex)
{
    stack_->bandScope().plot().moveCursor(scope_.pointX(sweepIndex));
}

// The sweep visits the points in the tuning direction, wrapping round.
void CKovo5View::restartSweep()
{
    scope_.setSweepIndex(scope_.restartIndex(ports_.doc.controlParams.direction));
    CKovo5Doc& d = ports_.doc;
    d.mainRecord.frequency = scope_.pointFrequency(scope_.sweepIndex());
    lookUpTunedChannel();
    moveScopeCursor(scope_.sweepIndex());
}

void CKovo5View::nextSweepPoint()
{
    scope_.setSweepIndex(scope_.nextIndex(ports_.doc.controlParams.direction));
    refreshText();
    CKovo5Doc& d = ports_.doc;
    d.mainRecord.frequency = scope_.pointFrequency(scope_.sweepIndex());
    lookUpTunedChannel();
    moveScopeCursor(scope_.sweepIndex());
}

void CKovo5View::onSpanChosen(int row)
{
    CKovo5Doc& d = ports_.doc;
    scope_.recomputeFromSpan(row, d.mainRecord.step, d.controlParams.scopeRange);
    refreshControl1FromReceiver();
    resetScope();
    if (d.controlParams.operatingMode == 3)
        restartSweep();
    else if (d.controlParams.operatingMode == 4)
        showStaticScope();
}

void CKovo5View::onScopePointer(int x)
{
    PanelText& text = stack_->bandScope().pointerText();
    if (x < 0) {
        text.showText(QString());
        return;
    }
    const int u = x - kPlotLeft + scope_.barHalfWidth();
    text.showText(megahertz(scope_.frequencyAtOffset(u)));
}

void CKovo5View::onScopeClick(int x, Qt::MouseButton button)
{
    CKovo5Doc& d = ports_.doc;
    const int u = x - kPlotLeft + scope_.barHalfWidth();
    const int index = scope_.sweepIndexAtOffset(u);
    d.mainRecord.frequency = scope_.frequencyAtOffset(u);
    lookUpTunedChannel();
    if (button == Qt::RightButton) {
        // Re-centre on the clicked frequency.
        ports_.core.setOperatingMode(d.controlParams.operatingMode);
        return;
    }
    scope_.setSweepIndex(index);
    refreshPanels();
    if (d.controlParams.operatingMode == 3) {
        d.controlParams.manualTuning = 1;
        moveScopeCursor(index);
    }
}

} // namespace kovo
