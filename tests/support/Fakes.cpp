#include "Fakes.h"

namespace testing_support {

static QString FullKey(const QString& app, const QString& section, const QString& key) {
    return app + '/' + section + '/' + key;
}

QString MemorySettings::GetSetting(const QString& app, const QString& section, const QString& key,
                                   const QString& defaultValue) {
    auto it = values.find(FullKey(app, section, key));
    return it == values.end() ? defaultValue : *it;
}

void MemorySettings::SaveSetting(const QString& app, const QString& section, const QString& key,
                                 const QString& value) {
    ++saves;
    values[FullKey(app, section, key)] = value;
}

bool MemorySettings::Has(const QString& key) const {
    return values.contains(FullKey("Kestrova", "Lineforge Suite", key));
}

QString MemorySettings::Value(const QString& key) const {
    return values.value(FullKey("Kestrova", "Lineforge Suite", key));
}

}  // namespace testing_support
