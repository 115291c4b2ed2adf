#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the input as text, the one way a broken
// property stops the run, and the Qt application the SQL driver needs.

// The input bytes as the text a user could have typed or pasted (UTF-8;
// bytes that are not UTF-8 become replacement characters, as on paste).
QString fuzzText(const std::uint8_t* data, std::size_t size);

// Stops the run when `holds` is false, naming the property and the input,
// so that libFuzzer keeps the input as a crash and the smoke run fails.
void fuzzCheck(bool holds, const char* property, const QString& input);

// A QCoreApplication for the SQL driver plugins, made on first use.
void fuzzApplication();
