#include "ui/PanelScreenshots.h"

#include "ui/PanelStack.h"
#include "ui/database/DatabasePanel.h"
#include "ui/database/DatabaseScreenshots.h"

#include <QDir>
#include <QPixmap>

#include <array>

namespace kovo {
namespace {

constexpr std::array<const char*, kPanelSlotCount> kFileNames{
    "display", "control1", "control2", "ctcss", "telm", "decoder", "bandscope", "database"};

QPixmap render(QWidget& w) {
    return w.grab();
}

} // namespace

QStringList renderPanelsToPng(PanelStack& stack, const QString& dir) {
    QStringList written;
    if (!QDir().mkpath(dir))
        return written;
    const QDir out(dir);
    for (int i = 0; i < kPanelSlotCount; ++i) {
        QWidget& panel = stack.panel(static_cast<PanelSlot>(i));
        const QString file =
            out.filePath(QString::fromLatin1(kFileNames[std::size_t(i)]) + QStringLiteral(".png"));
        if (render(panel).save(file))
            written << file;
    }
    if (auto* database = qobject_cast<DatabasePanel*>(&stack.dataBase()))
        written << renderDatabaseViews(*database, dir);
    const QString file = out.filePath(QStringLiteral("stack.png"));
    if (render(stack).save(file))
        written << file;
    return written;
}

} // namespace kovo
