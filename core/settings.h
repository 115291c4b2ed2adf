#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The settings store: a user scope and a machine scope, both INI files under
// the organisation "Rezydo" (on Linux ~/.config/Rezydo/Rezydo.ini and
// /etc/xdg/Rezydo/Rezydo.ini). Values live in the group "SOFTWARE/Rezydo".
//
// Reads look in the user scope first, then the machine scope; a missing value,
// a value that is not a string or any failure counts as not found. A value
// written by hand with commas in it is a string: it reads as it was written.
// Writes go to the machine scope only; any failure gives false. Nothing is
// ever shown.
std::optional<QString> readSetting(const QString& name);
bool writeSetting(const QString& name, const QString& value);

// The machine scope's file, the one writeSetting writes.
QString machineSettingsFile();
// What the user is told when writeSetting failed for `names`: which values,
// which file, and how an account gets the right to write it.
QString settingsNotSavedText(const QStringList& names);
// What the user is told when a value was written to the machine scope but the
// user's own file holds `name` too, so `valueInUse` stays in force.
QString userSettingHidesText(const QString& name, const QString& valueInUse);
