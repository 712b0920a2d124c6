// SPDX-License-Identifier: GPL-3.0-or-later
#include "adapterstate.h"

namespace pairwick::adaptersim {

namespace {

constexpr bool tableFollowsFieldOrder() {
    for (std::size_t i = 0; i < factoryValues.size(); ++i) {
        if (static_cast<std::size_t>(factoryValues[i].field) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tableFollowsFieldOrder(), "fieldKey() looks fields up by their position");

}  // namespace

AdapterState AdapterState::factory() {
    AdapterState state;
    for (const FactoryValue &entry : factoryValues) {
        state.setValue(entry.field, QByteArray(entry.value.data(), qsizetype(entry.value.size())));
    }
    return state;
}

FieldList changedFields(const AdapterState &before, const AdapterState &after) {
    FieldList changed;
    for (const FactoryValue &entry : factoryValues) {
        if (before.value(entry.field) != after.value(entry.field)) {
            changed.push_back(entry.field);
        }
    }
    return changed;
}

std::string_view fieldKey(Field field) {
    return factoryValues[static_cast<std::size_t>(field)].key;
}

}  // namespace pairwick::adaptersim
