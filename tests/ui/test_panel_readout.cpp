// Panel fields drawn as read-outs: the painted text looks exactly as the line
// editor draws it, rewrites repaint the field without touching the editor,
// and editing brings the editor back with the latest text.
#include "ViewFixture.h"

#include "ui/DisplayPanel.h"
#include "ui/PanelEdit.h"
#include "ui/PanelFonts.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace kovo;
using namespace kovo::test;

namespace {

// Counts the field's paint events and the area they covered.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& w) { w.installEventFilter(this); }
    int paints = 0;
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

QImage picture(QWidget& w) {
    return w.grab().toImage();
}

} // namespace

// Each kind of field, with short, padded and overlong texts: the read-out is
// pixel for pixel what the line editor draws with the cursor at the end.
TEST(PanelReadOut, PaintsTheTextExactlyAsTheEditorDoes) {
    const PanelFonts fonts = PanelFonts::create();
    struct Case {
        bool large;
        bool border;
        Qt::Alignment alignment;
        QRect rect;
        const char* text; // UTF-8
    };
    const Case cases[] = {
        {true, true, Qt::AlignRight | Qt::AlignVCenter, QRect(0, 0, 145, 30), " 145.600000"},
        {true, true, Qt::AlignRight | Qt::AlignVCenter, QRect(0, 0, 145, 30), "NO RECEIVER"},
        {true, true, Qt::AlignRight | Qt::AlignVCenter, QRect(0, 0, 145, 30), "12345678901234"},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 38, 15), "   2"},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 128, 15), "2m amateur"},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 40, 12), " SCAN "},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 201, 14),
         "a comment far too long for the comment field of the panel"},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 201, 14),
         "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 Tokyo"},
        {false, false, Qt::AlignLeft | Qt::AlignVCenter, QRect(0, 0, 201, 14), ""},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QFont& font = c.large ? fonts.large : fonts.small;
        PanelEdit readOut(0, c.rect, font, c.border, nullptr);
        PanelEdit editor(0, c.rect, font, c.border, nullptr);
        for (PanelEdit* f : {&readOut, &editor}) {
            f->setAlignment(c.alignment);
            f->showText(text);
        }
        QTest::keyClick(&editor, Qt::Key_End); // the user steps in: the editor draws
        ASSERT_TRUE(editor.editing());
        ASSERT_FALSE(readOut.editing());
        EXPECT_EQ(picture(readOut), picture(editor)) << c.text;
        for (PanelEdit* f : {&readOut, &editor})
            f->setFieldColour(QColor(96, 200, 96));
        EXPECT_EQ(picture(readOut), picture(editor)) << c.text << " in another colour";
    }
}

// A text shown again is copied from its earlier picture, not drawn anew;
// anything that changes how the field looks (colour, size, alignment) draws
// it afresh, so no stale picture is shown.
TEST(PanelReadOut, ReusesThePictureOfATextShownBefore) {
    const PanelFonts fonts = PanelFonts::create();
    PanelEdit field(0, QRect(0, 0, 145, 30), fonts.large, true, nullptr);
    field.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString a = QStringLiteral(" 145.000000"), b = QStringLiteral(" 145.025000");
    field.showText(a);
    const QImage first = picture(field);
    field.showText(b);
    picture(field);
    field.showText(a);
    EXPECT_EQ(picture(field), first);
    EXPECT_EQ(field.readOutsDrawn(), 2);

    const std::function<void()> changes[] = {
        [&] { field.setFieldColour(QColor(96, 200, 96)); },
        [&] { field.resize(140, 30); },
        [&] { field.setAlignment(Qt::AlignLeft | Qt::AlignVCenter); },
    };
    for (const auto& change : changes) {
        const QImage before = picture(field);
        const long long drawn = field.readOutsDrawn();
        change();
        PanelEdit fresh(0, field.geometry(), fonts.large, true, nullptr);
        fresh.setAlignment(field.alignment());
        fresh.setFieldColour(QColor(96, 200, 96));
        fresh.showText(a);
        EXPECT_EQ(picture(field), picture(fresh));
        EXPECT_NE(picture(field), before);
        EXPECT_EQ(field.readOutsDrawn(), drawn + 1);
    }
}

class ReadOutViewTest : public ViewTest {
protected:
    ReadOutViewTest() { stack().show(); }
    PanelEdit& field(DisplayPanel::Field f) { return stack().display().field(f); }
};

// A scan step rewrites the frequency and channel as painted text: one repaint
// of each field's own rectangle, the line editor left as it was.
TEST_F(ReadOutViewTest, AScanStepRepaintsOnlyTheReadOuts) {
    params().setMode(OperatingMode::MemoryScan);
    view->refreshPanels();
    QCoreApplication::processEvents();
    PanelEdit& frequency = field(DisplayPanel::FrequencyField);
    PanelEdit& channel = field(DisplayPanel::ChannelField);
    QSignalSpy editorWrites(&frequency, &QLineEdit::textChanged);
    QSignalSpy channelWrites(&channel, &QLineEdit::textChanged);
    PaintCounter frequencyPaints(frequency);
    PaintCounter namePaints(field(DisplayPanel::NameField));

    main().frequency = 433'000'000;
    main().bankNumber = 7;
    view->refreshPanels();
    QCoreApplication::processEvents();

    EXPECT_EQ(frequency.text(), " 433.000000");
    EXPECT_EQ(channel.text(), "   7");
    EXPECT_EQ(editorWrites.count(), 0);
    EXPECT_EQ(channelWrites.count(), 0);
    EXPECT_FALSE(frequency.editing());
    EXPECT_EQ(frequencyPaints.paints, 1);
    EXPECT_EQ(frequencyPaints.painted, QRegion(frequency.rect()));
    EXPECT_EQ(namePaints.paints, 0) << "an unchanged field is not repainted";

    view->refreshPanels();
    QCoreApplication::processEvents();
    EXPECT_EQ(frequencyPaints.paints, 1) << "the same text again repaints nothing";
}

// The read-outs cover the panel behind them: a rewrite repaints the field
// alone, also after the field's colour changed (a new style sheet) and after
// the user edited in it and left.
TEST_F(ReadOutViewTest, ARewriteLeavesThePanelBehindUnpainted) {
    params().setMode(OperatingMode::Vfo);
    view->refreshPanels();
    QCoreApplication::processEvents();
    PanelEdit& frequency = field(DisplayPanel::FrequencyField);
    PaintCounter panelPaints(stack().display());
    const std::function<void()> beforeStep[] = {
        [] {},
        [&] { frequency.setFieldColour(QColor(96, 200, 96)); },
        [&] {
            QTest::keyClick(&frequency, Qt::Key_End);
            ASSERT_TRUE(frequency.editing());
            QTest::keyClick(&frequency, Qt::Key_Escape); // the next rewrite ends the edit
        },
    };
    int step = 0;
    for (const auto& prepare : beforeStep) {
        prepare();
        QCoreApplication::processEvents();
        panelPaints.paints = 0;
        main().frequency = 433'000'000 + 1000 * ++step;
        view->refreshPanels();
        QCoreApplication::processEvents();
        EXPECT_FALSE(frequency.editing()) << step;
        EXPECT_EQ(panelPaints.paints, 0) << step;
    }
}

// Stepping into a field brings the editor up with the latest read-out; what
// the user types replaces it as before, and leaving the field keeps showing
// what the editor held.
TEST_F(ReadOutViewTest, EditingStartsFromTheLatestReadOut) {
    params().setMode(OperatingMode::Vfo);
    view->refreshPanels();
    PanelEdit& comment = field(DisplayPanel::CommentField);
    comment.showText(QStringLiteral("first"));
    comment.showText(QStringLiteral("latest"));
    QTest::keyClick(&comment, Qt::Key_End);
    QTest::keyClicks(&comment, QStringLiteral("!"));
    EXPECT_TRUE(comment.editing());
    EXPECT_EQ(comment.QLineEdit::text(), "latest!");
    EXPECT_EQ(comment.text(), "latest!");

    // Text the user typed is replaced by a rewrite, as before.
    comment.showText(QStringLiteral("rewritten"));
    EXPECT_EQ(comment.QLineEdit::text(), "rewritten");

    // Straight writes to the editor (the decoder's Clear) show at once.
    comment.clear();
    EXPECT_EQ(comment.text(), "");
}

// A field that only has the keyboard (the frequency field a window opens
// with) goes back to a read-out at the next rewrite; one being typed in does
// not.
TEST_F(ReadOutViewTest, AVisitedFieldBecomesAReadOutAgainWhenRewritten) {
    params().setMode(OperatingMode::Vfo);
    view->showOperatingMode(OperatingMode::Vfo);
    PanelEdit& frequency = field(DisplayPanel::FrequencyField);
    QWidget* window = frequency.window();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << "the window must take the keyboard";
    frequency.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_TRUE(frequency.hasFocus()) << "the frequency field must take the keyboard";
    EXPECT_TRUE(frequency.editing());
    frequency.showText(QStringLiteral(" 430.000000"));
    EXPECT_FALSE(frequency.editing());
    EXPECT_EQ(frequency.text(), " 430.000000");
}

// Screen readers get what the field shows, though its editor has not been
// rewritten; moving in the text brings the editor up to date first.
TEST_F(ReadOutViewTest, ScreenReadersReadTheShownText) {
    params().setMode(OperatingMode::MemoryScan);
    view->refreshPanels();
    PanelEdit& channel = field(DisplayPanel::ChannelField);
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(&channel);
    ASSERT_NE(spoken, nullptr);
    ASSERT_NE(spoken->textInterface(), nullptr);

    main().bankNumber = 42;
    view->refreshPanels();
    EXPECT_EQ(spoken->text(QAccessible::Name), "Channel");
    EXPECT_EQ(spoken->text(QAccessible::Value), "  42");
    EXPECT_EQ(spoken->textInterface()->characterCount(), 4);
    EXPECT_EQ(spoken->textInterface()->text(2, 4), "42");
    spoken->textInterface()->setCursorPosition(3);
    EXPECT_EQ(channel.QLineEdit::text(), "  42");
    EXPECT_EQ(channel.cursorPosition(), 3);
}

// A click in the read-only frequency field during a scan does not turn the
// following steps back into editor rewrites.
TEST_F(ReadOutViewTest, AClickInAReadOnlyFieldLeavesStepsAsReadOuts) {
    params().setMode(OperatingMode::MemoryScan);
    view->showOperatingMode(OperatingMode::MemoryScan);
    view->refreshPanels();
    PanelEdit& frequency = field(DisplayPanel::FrequencyField);
    ASSERT_TRUE(frequency.isReadOnly());
    QTest::mouseClick(&frequency, Qt::LeftButton);
    EXPECT_TRUE(frequency.editing());

    QSignalSpy editorWrites(&frequency, &QLineEdit::textChanged);
    for (std::uint32_t f : {145'025'000u, 145'050'000u}) {
        main().frequency = f;
        view->refreshPanels();
    }
    EXPECT_EQ(editorWrites.count(), 0);
    EXPECT_FALSE(frequency.editing());
    EXPECT_EQ(frequency.text(), " 145.050000");
}
