// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QStringView>
#include <optional>

namespace pairwick::i18n {

// The languages the interface speaks. Chinese is the language the texts are written in.
enum class Language { Chinese, English };

// The language a command-line value names, or nothing for a value that names none.
std::optional<Language> languageNamed(QStringView name);

// Every value languageNamed() accepts, in the order a usage message lists them.
QStringList languageNames();

}  // namespace pairwick::i18n
