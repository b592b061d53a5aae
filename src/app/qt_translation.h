#pragma once

class QCoreApplication;
class QTranslator;

namespace kd {

// Qt's own texts, such as the text boxes' context menu (Rückgängig, Ausschneiden …), in German
// whatever the locale, as the rest of the window. Loads qtbase_de.qm from Qt's translations folder
// (Debian: qt6-translations-l10n). The translator belongs to the application; nullptr when the file
// is missing, and Qt's texts stay English.
QTranslator *installGermanQtTexts(QCoreApplication &application);

} // namespace kd
