#include "ui/RepaintPacer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace kovo::testing {
namespace {

class CountingWidget : public QWidget {
public:
    int paints = 0;
    QColor painted;
    QColor colour = Qt::black;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        painted = colour;
        QPainter(this).fillRect(rect(), colour);
    }
};

// Runs the event loop until `done` or `ms` have passed.
template <typename Done> bool spin(int ms, Done done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

TEST(RepaintPacer, PaintsAtOnceAfterAQuietSpellAndGathersQuickRepaintsIntoOneLaterPass) {
    CountingWidget window;
    window.resize(40, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    spin(100, [] { return false; }); // the first paint and any follow-up settle
    // An interval far longer than the steps below take, even on a loaded machine.
    RepaintPacer pacer(window, std::chrono::milliseconds(1000));

    const int before = window.paints;
    window.colour = Qt::red;
    window.update();
    ASSERT_TRUE(spin(900, [&] { return window.paints > before; }));
    EXPECT_EQ(window.painted, QColor(Qt::red)) << "the first repaint goes out at once";

    const int afterFirst = window.paints;
    for (QColor c : {QColor(Qt::green), QColor(Qt::blue), QColor(Qt::yellow)}) {
        window.colour = c;
        window.update();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(window.paints, afterFirst) << "repaints within the interval wait";
    EXPECT_GT(pacer.repaintsHeld(), 0);

    ASSERT_TRUE(spin(5000, [&] { return window.paints > afterFirst; }));
    EXPECT_EQ(window.paints, afterFirst + 1) << "one pass paints what changed meanwhile";
    EXPECT_EQ(window.painted, QColor(Qt::yellow)) << "and it paints the latest state";

    spin(1100, [] { return false; }); // a quiet spell longer than the interval
    const int beforeQuiet = window.paints;
    window.colour = Qt::cyan;
    window.update();
    ASSERT_TRUE(spin(900, [&] { return window.paints > beforeQuiet; }));
    EXPECT_EQ(window.painted, QColor(Qt::cyan));
}

} // namespace
} // namespace kovo::testing
