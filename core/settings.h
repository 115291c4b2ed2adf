#pragma once

#include <QString>

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
