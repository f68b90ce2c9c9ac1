// Every key, list and field of the panels says what it does when the pointer
// rests on it, and a reason why a control cannot be used does not lose that.
#include "ViewFixture.h"

#include "ui/CKovo5View.h"
#include "ui/ControlPanel1.h"
#include "ui/ImageKey.h"
#include "ui/PanelBase.h"
#include "ui/PanelStack.h"
#include "ui/PanelTooltips.h"

#include <QStringList>

namespace kovo::test {
namespace {

class PanelTooltipsTest : public ViewTest {};

// The controls are the panels' widgets that carry an accessible name; the
// parts Qt builds inside a list (viewport, scroll bars) carry none.
TEST_F(PanelTooltipsTest, EveryControlOfEveryPanelHasATooltip) {
    QStringList missing;
    int controls = 0;
    for (PanelBase* panel : stack().findChildren<PanelBase*>()) {
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            if (w->accessibleName().isEmpty())
                continue;
            ++controls;
            if (w->toolTip().isEmpty())
                missing << QString::fromLatin1(panel->metaObject()->className()) +
                               QLatin1Char('/') + w->accessibleName();
        }
    }
    EXPECT_GT(controls, 90) << "the walk reached the panels' controls";
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1String(", ")).toStdString();
}

TEST_F(PanelTooltipsTest, AReasonFollowsTheOrdinaryTextAndGoesWithIt) {
    QWidget& moni = stack().control1().key(ControlPanel1::Moni);
    const QString ordinary = moni.toolTip();
    EXPECT_TRUE(ordinary.startsWith(QStringLiteral("MONI"))) << ordinary.toStdString();
    showWhyUnavailable(moni, QStringLiteral("the radio has no monitor"));
    EXPECT_EQ(moni.toolTip(), ordinary + QStringLiteral("\nthe radio has no monitor"));
    showWhyUnavailable(moni, QString());
    EXPECT_EQ(moni.toolTip(), ordinary);

    // Tooltips put on again (a panel rebuilt) keep a reason already shown.
    showWhyUnavailable(moni, QStringLiteral("busy"));
    applyPanelTooltips(stack().control1());
    EXPECT_EQ(moni.toolTip(), ordinary + QStringLiteral("\nbusy"));
}

} // namespace
} // namespace kovo::test
