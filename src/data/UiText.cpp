#include "UiText.h"

#include <atomic>

namespace kovo {
namespace {

std::atomic<UiTextTranslator> translator{nullptr};
std::atomic<bool> englishData{false};

} // namespace

void setUiTextTranslator(UiTextTranslator function) {
    translator.store(function);
}

std::string uiText(const char* context, const char* source) {
    const UiTextTranslator function = translator.load();
    return function ? function(context, source) : std::string(source);
}

void setEnglishUserData(bool english) {
    englishData.store(english);
}

bool englishUserData() {
    return englishData.load();
}

} // namespace kovo
