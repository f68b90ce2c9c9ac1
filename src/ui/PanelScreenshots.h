#pragma once
#include <QString>
#include <QStringList>

namespace kovo {

class PanelStack;

// Grabs every strip and the whole stack to PNG files in `dir` (created if
// needed): display.png, control1.png, control2.png, ctcss.png, telm.png,
// decoder.png, bandscope.png, database.png and stack.png. Hidden strips are
// rendered too, at the screen's pixel ratio (QT_SCALE_FACTOR=2 gives 2x
// images). Returns the files written; an empty list when the folder cannot be
// made.
QStringList renderPanelsToPng(PanelStack& stack, const QString& dir);

} // namespace kovo
