#pragma once

#include <QString>

namespace orvo {

// Qt's own texts (standard buttons, file and folder dialogs) in the language
// named `languageName`, as a language file or the built-in table names it
// ("Русский", "Russian", "Deutsch"...), when Qt has a translation for it;
// otherwise Qt's English. Answers the locale name loaded ("ru"), empty for
// none.
QString LoadQtTranslation(const QString &languageName);

} // namespace orvo
