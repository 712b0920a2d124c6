// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace pairwick::i18n {

namespace {

// The compiled translation of a language, embedded in the program; none for the source
// language.
QString translationFile(Language language) {
    switch (language) {
        case Language::Chinese:
            return {};
        case Language::English:
            return QStringLiteral(":/pairwick/i18n/pairwick_en.qm");
    }
    return {};
}

}  // namespace

std::unique_ptr<QTranslator> installTranslation(Language language) {
    const QString file = translationFile(language);
    if (file.isEmpty())
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // A build without its translation is broken, but the Chinese window still works.
    if (!translator->load(file)) {
        qWarning("pairwick: %s is missing from this build; the window stays Chinese",
                 qUtf8Printable(file));
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

}  // namespace pairwick::i18n
