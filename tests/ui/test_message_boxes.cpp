#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

#include "ui/MessageBoxNotifier.h"

namespace kovo::test {
namespace {

// The link and the scan report from inside their handlers: a message must
// come back at once, without an event loop of its own, and a repeated text
// must not pile up boxes (a flow-control burst, a link that keeps failing).
TEST(MessageBoxes, MessagesReturnAtOnceAndATextShowsOnce) {
    QWidget window;
    window.show();
    MessageBoxNotifier notifier(&window);
    notifier.showMessage("X Off");
    notifier.showMessage("X Off");
    notifier.showMessage("受信機との接続が切れました。");
    const QList<QMessageBox*> open = notifier.openMessages();
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[0]->text(), "X Off");
    EXPECT_EQ(open[1]->text(), QString::fromUtf8("受信機との接続が切れました。"));
    EXPECT_EQ(open[0]->parentWidget(), &window);

    open[0]->accept(); // OK closes it; the same text may then be shown again
    QApplication::processEvents();
    EXPECT_EQ(notifier.openMessages().size(), 1);
    notifier.showMessage("X Off");
    EXPECT_EQ(notifier.openMessages().size(), 2);
}

// A message taken back closes its box, and only its own.
TEST(MessageBoxes, AWithdrawnMessageClosesItsBoxOnly) {
    QWidget window;
    window.show();
    MessageBoxNotifier notifier(&window);
    notifier.showMessage("The connection to the receiver was lost.");
    notifier.showMessage("X Off");
    notifier.withdrawMessage("The connection to the receiver was lost.");
    notifier.withdrawMessage("Never shown");
    QApplication::processEvents();
    const QList<QMessageBox*> open = notifier.openMessages();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0]->text(), "X Off");
}

} // namespace
} // namespace kovo::test
