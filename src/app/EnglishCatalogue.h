#pragma once

namespace kovo {

// The English catalogue for the toolkit-free layers' texts (file errors,
// step names, messages), for a program without a Qt application object:
// kovoctl speaks English, so the texts it shares with KOVO3000 are read in
// their English form. Data written into documents keeps its language.
// False when the catalogue cannot be loaded.
bool useEnglishTexts();

} // namespace kovo
