#pragma once

#include <QString>

namespace orvo {

// Qt's own texts (standard buttons, file and folder dialogs) in the language
// named `languageName`, as a language file or the built-in table names it
// ("Русский", "Russian", "Deutsch"...), when Qt has a translation for it;
// otherwise Qt's English. Answers the locale name loaded ("ru"), empty for
// none.
QString LoadQtTranslation(const QString &languageName);

// Makes the locale of that language the default one, so dates, times and
// numbers follow the window's language: the system's own locale where it is
// of that language (its country's conventions), else the language's main
// one; the system's for a language Qt does not know.
void UseLanguageLocale(const QString &languageName);

} // namespace orvo
