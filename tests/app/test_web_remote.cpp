#include "CoreFixture.h"
#include "app/QSettingsStore.h"
#include "app/WebRemoteService.h"
#include "app/dialogs/WebRemoteDialog.h"
#include "web/WebRemoteServer.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace kovo {
namespace {

struct WebRemoteTest : ::testing::Test {
    std::optional<std::string> storedToken() const {
        QSettingsStore fresh(dir.filePath("KOVO3000.ini"));
        return fresh.readString("Soft Setting", "WebRemoteToken");
    }

    QTemporaryDir dir;
    QSettingsStore store{dir.filePath("KOVO3000.ini")};
    test::CoreParts parts;
    WebRemoteService service{parts.doc, parts.core, store,
                             dir.filePath("history.db").toStdString()};
};

TEST_F(WebRemoteTest, OffByDefaultAndTheTokenIsMadeOnFirstUseAndKept) {
    EXPECT_EQ(WebRemoteSettings::load(store), (WebRemoteSettings{false, 8073, false}));
    EXPECT_FALSE(service.listening());
    EXPECT_FALSE(storedToken());

    ASSERT_FALSE(service.apply({true, 0, false}));
    EXPECT_TRUE(service.listening());
    const auto token = storedToken();
    ASSERT_TRUE(token);
    EXPECT_EQ(token->size(), 64u);
    EXPECT_TRUE(service.link().startsWith(QStringLiteral("http://127.0.0.1:")));
    EXPECT_TRUE(service.link().endsWith(QString::fromStdString("/?token=" + *token)));

    // Started again, the same token: links given out keep working.
    ASSERT_FALSE(service.apply({true, 0, false}));
    EXPECT_EQ(storedToken(), token);
    // A new one replaces it for good.
    service.renewToken();
    EXPECT_NE(storedToken(), token);
    EXPECT_TRUE(service.link().endsWith(QString::fromStdString("=" + *storedToken())));

    ASSERT_FALSE(service.apply({false, 0, false}));
    EXPECT_FALSE(service.listening());
    EXPECT_FALSE(service.inEffect().enabled);
}

// The settings file holds the token: only its owner may read it, whether
// the file is new or was left open to others by an earlier version.
TEST_F(WebRemoteTest, TheFileHoldingTheTokenIsTheUsersAlone) {
    const QString path = dir.filePath("KOVO3000.ini");
    constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                                 QFileDevice::WriteGroup | QFileDevice::WriteOther;
    ASSERT_FALSE(service.apply({true, 0, false}));
    ASSERT_TRUE(storedToken());
    EXPECT_EQ(QFile::permissions(path) & kOthers, QFileDevice::Permissions());
    EXPECT_TRUE(QFile::permissions(path) & QFileDevice::ReadOwner);

    const QString older = dir.filePath("older.ini");
    QFile file(older);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Soft%20Setting]\nWebRemoteToken=" + QByteArray(64, 'a') + "\n");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(older, QFile::permissions(older) | QFileDevice::ReadOther));
    QSettingsStore opened(older);
    EXPECT_EQ(QFile::permissions(older) & kOthers, QFileDevice::Permissions());
    EXPECT_EQ(opened.readString("Soft Setting", "WebRemoteToken"), std::string(64, 'a'));
}

TEST_F(WebRemoteTest, APortInUseIsReported) {
    ASSERT_FALSE(service.apply({true, 0, false}));
    const int taken = service.server()->port();
    WebRemoteService second{parts.doc, parts.core, store, "unused"};
    EXPECT_TRUE(second.apply({true, taken, false}));
    EXPECT_FALSE(second.listening());
}

TEST_F(WebRemoteTest, TheDialogShowsTheLinkAsTextAndQrCodeAndRenewsTheToken) {
    std::optional<WebRemoteSettings> stored;
    WebRemoteDialog dialog(service.inEffect(),
                           {[&](const WebRemoteSettings& s) { stored = s; },
                            [&] { return service.link(); }, [&] { service.renewToken(); }});
    auto* link = dialog.findChild<QPlainTextEdit*>("webLink");
    ASSERT_TRUE(link);
    const QString first = link->toPlainText();
    EXPECT_EQ(first, service.link());
    EXPECT_TRUE(link->isReadOnly());
    EXPECT_FALSE(link->accessibleName().isEmpty());
    // The whole link shows, dark on light.
    dialog.show();
    EXPECT_EQ(link->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(link->horizontalScrollBar()->maximum(), 0);
    EXPECT_LT(link->palette().color(QPalette::Text).lightness(), 80);
    EXPECT_GT(link->palette().color(QPalette::Base).lightness(), 200);
    auto* copy = dialog.findChild<QPushButton*>("webCopyLink");
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->accessibleName().isEmpty());
    copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), first);

    const QPixmap code = dialog.findChild<QLabel*>("webQrCode")->pixmap();
    EXPECT_FALSE(code.isNull());
    EXPECT_EQ(code.width(), code.height());

    dialog.findChild<QPushButton*>("webNewToken")->click();
    EXPECT_NE(link->toPlainText(), first);
    EXPECT_EQ(link->toPlainText(), service.link());
    EXPECT_TRUE(link->toPlainText().contains(QString::fromStdString(*storedToken())));

    dialog.findChild<QCheckBox*>()->setChecked(true);
    dialog.findChild<QSpinBox*>("webPort")->setValue(8100);
    dialog.accept();
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, (WebRemoteSettings{true, 8100, false}));
}

TEST(WebRemoteQrCode, HasAQuietZoneAndGrowsWithTheText) {
    const QImage small = qrCodeImage(QStringLiteral("http://127.0.0.1:8073/?token=ab"), 1);
    const QImage large =
        qrCodeImage(QStringLiteral("http://192.168.1.20:8073/?token=") + QString(64, 'a'), 1);
    ASSERT_FALSE(small.isNull());
    ASSERT_FALSE(large.isNull());
    EXPECT_GT(large.width(), small.width());
    for (int i = 0; i < small.width(); ++i) {
        EXPECT_EQ(small.pixelColor(i, 0), Qt::white);
        EXPECT_EQ(small.pixelColor(0, i), Qt::white);
    }
    // The finder pattern's corner is dark, just inside the quiet zone.
    EXPECT_EQ(small.pixelColor(4, 4), Qt::black);
}

} // namespace
} // namespace kovo
