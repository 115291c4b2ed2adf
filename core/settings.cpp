#include "core/settings.h"

#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("SOFTWARE/Rezydo");

std::optional<QString> readFrom(QSettings::Scope scope, const QString& name)
{
    QSettings store(QSettings::IniFormat, scope, QStringLiteral("Rezydo"),
                    QStringLiteral("Rezydo"));
    if (store.status() != QSettings::NoError)
        return std::nullopt;
    store.beginGroup(kGroup);
    if (!store.contains(name))
        return std::nullopt;
    const QVariant value = store.value(name);
    // An INI file holds strings; lists and typed values (@Variant, @ByteArray)
    // are values of another type and count as missing.
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}
} // namespace

std::optional<QString> readSetting(const QString& name)
{
    if (auto v = readFrom(QSettings::UserScope, name))
        return v;
    return readFrom(QSettings::SystemScope, name);
}

bool writeSetting(const QString& name, const QString& value)
{
    QSettings store(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Rezydo"),
                    QStringLiteral("Rezydo"));
    if (!store.isWritable())
        return false;
    store.beginGroup(kGroup);
    store.setValue(name, value);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}
