#include "app/EnglishCatalogue.h"

#include "data/UiText.h"

#include <QTranslator>

namespace kovo {
namespace {

QTranslator& catalogue() {
    static QTranslator translator;
    return translator;
}

std::string english(const char* context, const char* source) {
    const QString text = catalogue().translate(context, source);
    return text.isEmpty() ? std::string(source) : text.toStdString();
}

} // namespace

bool useEnglishTexts() {
    if (!catalogue().load(QStringLiteral(":/i18n/kovo3000_en.qm")))
        return false;
    setUiTextTranslator(&english);
    return true;
}

} // namespace kovo
