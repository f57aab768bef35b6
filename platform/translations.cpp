#include "platform/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace platform {

namespace {

// The translation in force; one at a time.
std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

const char* LanguageCode(int language) {
    switch (language) {
    case 1:
        return "nl";
    case 2:
        return "fr";
    case 3:
        return "en";
    case 4:
        return "de";
    default:
        return nullptr;
    }
}

} // namespace

bool UseStandardDialogLanguage(int language) {
    std::unique_ptr<QTranslator>& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const char* code = LanguageCode(language);
    if (!code)
        return false;
    if (language == 3)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + QLatin1String(code),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

} // namespace platform
