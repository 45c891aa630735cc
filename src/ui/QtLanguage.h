#pragma once

#include <string>

namespace quill::ui {

// Makes Qt's own texts (standard buttons such as OK and Cancel, the print
// and file dialogs) and the date and number editors follow the language of
// the program's language files, code as LanguageTexts::languageCode gives
// it. Replaces the translation installed before. False when Qt has no
// translation for that language here (the qt6-translations-l10n package
// is missing); English needs none.
bool useLanguage(const std::string& code);

} // namespace quill::ui
