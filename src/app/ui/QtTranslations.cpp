#include "app/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace orvo {

namespace {

// The language whose English or native name is `name`; C when none is.
QLocale::Language LanguageNamed(const QString &name) {
  const QString wanted = name.trimmed();
  if (wanted.isEmpty())
    return QLocale::C;
  for (int l = QLocale::Abkhazian; l <= QLocale::LastLanguage; ++l) {
    const auto language = static_cast<QLocale::Language>(l);
    if (QLocale::languageToString(language).compare(wanted, Qt::CaseInsensitive) == 0 ||
        QLocale(language).nativeLanguageName().compare(wanted, Qt::CaseInsensitive) == 0)
      return language;
  }
  return QLocale::C;
}

} // namespace

void UseLanguageLocale(const QString &languageName) {
  const QLocale::Language language = LanguageNamed(languageName);
  const QLocale system = QLocale::system();
  QLocale::setDefault(language == QLocale::C || system.language() == language ? system
                                                                              : QLocale(language));
}

QString LoadQtTranslation(const QString &languageName) {
  static QTranslator *installed = nullptr;
  if (QCoreApplication::instance() == nullptr)
    return {};
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
    installed = nullptr;
  }
  const QLocale::Language language = LanguageNamed(languageName);
  if (language == QLocale::C || language == QLocale::English)
    return {};
  const QLocale locale(language);
  auto *translator = new QTranslator;
  // "qt" pulls in qtbase and the other modules' files that Debian ships.
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!translator->load(locale, QStringLiteral("qt"), QStringLiteral("_"), folder) &&
      !translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    delete translator;
    return {};
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return locale.name().section('_', 0, 0);
}

} // namespace orvo
