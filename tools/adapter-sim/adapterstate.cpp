// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterstate.h"

namespace pairwick::adaptersim {

AdapterState AdapterState::factory() {
    AdapterState state;
    for (const FactoryValue &entry : factoryValues) {
        state.setValue(entry.field, QByteArray(entry.value.data(), qsizetype(entry.value.size())));
    }
    return state;
}

}  // namespace pairwick::adaptersim
