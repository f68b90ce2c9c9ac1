#pragma once
#include <QString>

class QLineEdit;

namespace kovo {

// Typed text as the document's character set (code page 932) can keep it,
// spelled as every other path that stores text spells it (plainSpelling):
// rather than letting "ö" turn into "?" when stored, the field shows "o", and
// leaves out a character that has neither a form in the set nor a plain
// spelling.
struct StorableText {
    QString text;    // what the field shows and stores
    QString changed; // the typed characters that were transliterated
    QString refused; // the typed characters that were left out
};

StorableText storableText(const QString& typed);

// True when the character set keeps `c` as it is.
bool storableAsItIs(QChar c);

// A one-line hint for the field after a change, empty when nothing changed.
QString storableTextHint(const StorableText& result);

// Keeps what the user types into `field` storable: after each edit the field
// shows the storable text, and its tooltip the hint (shown at once too).
void keepTypedTextStorable(QLineEdit* field);

} // namespace kovo
