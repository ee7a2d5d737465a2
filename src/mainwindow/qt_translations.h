#pragma once

class QCoreApplication;
class QLocale;

// Qt's own texts (the file dialog, the standard buttons of message boxes) in Japanese, like
// the rest of the interface, from the catalogue the system's Qt translations package installs.
namespace mossleaf::QtTranslations {

// Installs Qt's Japanese catalogue on `app` when `locale` is Japanese and the catalogue is
// installed; returns whether it did. Under any other locale Qt keeps its English: the
// program's own texts are Japanese whatever the locale, and a third language would only add
// to the mix.
bool install(QCoreApplication& app, const QLocale& locale);

}  // namespace mossleaf::QtTranslations
