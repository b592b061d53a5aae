#pragma once

#include "model/messages.h"

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace kd::sim {

// The language the virtual display speaks for the user's preferred languages, as
// QLocale::uiLanguages() lists them (from LANGUAGE, else LC_ALL, LC_MESSAGES or LANG): "de" when
// German comes before English, "en" otherwise. English is the language of the sources.
QString chooseLanguage(const QStringList &uiLanguages);
// The model's language for a language chooseLanguage() gave.
Language modelLanguage(const QString &language);

// The display's own texts and Qt's in one language, in the running application for as long as
// this object lives. For English the display needs no translation of its own.
class Translations {
  public:
    explicit Translations(const QString &language);
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    // Whether the display's own texts were found for the language (always in the program, as a
    // resource); Qt's own are optional, from Qt's translations folder.
    bool hasOwn() const { return m_hasOwn; }

  private:
    QTranslator m_own;
    QTranslator m_qt;
    bool m_hasOwn = false;
};

struct ParsedOptions;
// Reads the program's command line in the user's language, before any window system is touched,
// so that --help and refusals need none. With --help, --version or a refusal, the text is already
// written (to standard output or error) and the program ends with parsed.exitStatus.
ParsedOptions readCommandLine(int &argc, char **argv);

} // namespace kd::sim
