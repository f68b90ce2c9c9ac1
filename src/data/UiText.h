#pragma once
#include <string>

// Texts this layer shows to the user (messages, captions) are written as the
// program's classic texts have them and marked where they are defined, so the
// translation tools find them:
//   KOVO_TRANSLATE_NOOP("Context", "text") is the text itself, for tables and
//   constants translated later with kovo::uiText("Context", text);
//   KOVO_TR("Context", "text") translates at once.
// The layer stays free of any toolkit: the application installs the
// translating function; without one every text is shown as written.
#define KOVO_TRANSLATE_NOOP(context, text) text
#define KOVO_TR(context, text) ::kovo::uiText(context, text)

namespace kovo {

using UiTextTranslator = std::string (*)(const char* context, const char* source);

// The translating function for the run; nullptr restores the identity.
void setUiTextTranslator(UiTextTranslator translator);
std::string uiText(const char* context, const char* source);

// Whether texts the program writes into the user's data (comments of new
// channels, a new document's defaults) are written in English rather than
// in the classic Japanese texts. Chosen once at start-up with the language.
void setEnglishUserData(bool english);
bool englishUserData();

} // namespace kovo
