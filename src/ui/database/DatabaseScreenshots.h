#pragma once
#include <QString>
#include <QStringList>

namespace kovo {

class DatabasePanel;

// Grabs the database panel in each of its eight views to "database-0.png" ..
// "database-7-statistics.png" in `dir`; the view shown before is shown again. The
// statistics view shows the analysis of the first log entry when there is
// one (the demo document has it). Returns the files written.
QStringList renderDatabaseViews(DatabasePanel& panel, const QString& dir);

} // namespace kovo
