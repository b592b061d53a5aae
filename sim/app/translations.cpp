#include "app/translations.h"

#include "app/sim_options.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

#include <QCoreApplication>
#include <QLibraryInfo>

namespace kd::sim {

QString chooseLanguage(const QStringList &uiLanguages) {
    for (const QString &tag : uiLanguages) {
        // "de-DE", "de_AT.UTF-8", "en": the language is what comes before the first separator.
        const QString language = tag.section(QLatin1Char('-'), 0, 0)
                                     .section(QLatin1Char('_'), 0, 0)
                                     .section(QLatin1Char('.'), 0, 0)
                                     .toLower();
        if (language == QLatin1String("de"))
            return QStringLiteral("de");
        if (language == QLatin1String("en") || language == QLatin1String("c") ||
            language == QLatin1String("posix"))
            return QStringLiteral("en");
    }
    return QStringLiteral("en");
}

Translations::Translations(const QString &language) {
    if (language == QLatin1String("en"))
        return;
    m_hasOwn = m_own.load(QStringLiteral(":/i18n/kundendisplay-sim_") + language);
    if (m_hasOwn)
        QCoreApplication::installTranslator(&m_own);
    // Qt's texts (the command line's frame and refusals, standard dialogs) in the same language;
    // without Debian's Qt translations they stay English.
    if (m_qt.load(QStringLiteral("qtbase_") + language,
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qt);
}

Language modelLanguage(const QString &language) {
    return language == QLatin1String("de") ? Language::German : Language::English;
}

ParsedOptions readCommandLine(int &argc, char **argv) {
    ParsedOptions parsed;
    {
        QCoreApplication core(argc, argv);
        const Translations translations(chooseLanguage(QLocale::system().uiLanguages()));
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        parsed = parseSimOptions(arguments);
    }
    if (parsed.exitNow)
        std::fputs(qPrintable(parsed.message + QLatin1Char('\n')),
                   parsed.exitStatus == 0 ? stdout : stderr);
    return parsed;
}

} // namespace kd::sim
