// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/language.h"

#include <array>

namespace pairwick::i18n {

namespace {

struct LanguageName {
    QLatin1StringView name;
    Language language;
};

constexpr std::array Names{
    LanguageName{QLatin1StringView("zh"), Language::Chinese},
    LanguageName{QLatin1StringView("zh_CN"), Language::Chinese},
    LanguageName{QLatin1StringView("en"), Language::English},
};

}  // namespace

std::optional<Language> languageNamed(QStringView name) {
    for (const LanguageName &entry : Names) {
        if (name == entry.name)
            return entry.language;
    }
    return std::nullopt;
}

QStringList languageNames() {
    QStringList names;
    for (const LanguageName &entry : Names)
        names.append(entry.name);
    return names;
}

}  // namespace pairwick::i18n
