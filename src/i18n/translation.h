// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "i18n/language.h"

class QTranslator;

namespace pairwick::i18n {

// Puts every text built from now on into `language`; call it once the application object
// exists and before any window is built. Chinese needs no translator and gets none; for any
// other language the translator stays installed while the returned object lives.
std::unique_ptr<QTranslator> installTranslation(Language language);

}  // namespace pairwick::i18n
