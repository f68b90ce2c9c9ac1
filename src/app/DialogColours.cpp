#include "app/DialogColours.h"

#include "app/dialogs/KovoDialog.h"

#include <QDialog>
#include <QEvent>
#include <QFileDialog>

namespace kovo {

bool DialogColours::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && !qobject_cast<QFileDialog*>(dialog))
            applyDialogColours(dialog);
    }
    return false;
}

} // namespace kovo
