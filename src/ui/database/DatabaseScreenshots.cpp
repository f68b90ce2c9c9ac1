#include "ui/database/DatabaseScreenshots.h"

#include "data/CKovo5Doc.h"
#include "ui/database/DatabaseLines.h"
#include "ui/database/DatabasePanel.h"

#include <QDir>
#include <QPixmap>

namespace kovo {

QStringList renderDatabaseViews(DatabasePanel& panel, const QString& dir) {
    static const char* const kNames[] = {"channels", "banks",   "searchbanks", "passranges",
                                         "automode", "strings", "log",         "statistics"};
    QStringList written;
    const QDir out(dir);
    const int shown = panel.shownView();
    for (int v = 0; v < dblines::kViewCount; ++v) {
        panel.showView(v);
        const QString file = out.filePath(
            QStringLiteral("database-%1-%2.png").arg(v).arg(QString::fromLatin1(kNames[v])));
        if (panel.grab().save(file))
            written << file;
    }
    panel.showView(shown);
    return written;
}

} // namespace kovo
