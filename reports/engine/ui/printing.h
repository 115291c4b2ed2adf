#pragma once

#include "reports/engine/document.h"

#include <QPrinter>

#include <functional>
#include <memory>

// Print mode goes through one printer factory. The system one gives the
// default printer, or nullptr when the system has no printer at all; tests
// install one that writes a PDF into their temporary folder.
using PrinterFactory = std::function<std::unique_ptr<QPrinter>()>;
void setPrinterFactory(PrinterFactory factory); // empty restores the system one
std::unique_ptr<QPrinter> createPrinter();

// Prints every copy of the document on `printer`, within the printer's page
// range (from-to, 0 = all). Throws RezydoError when printing cannot start.
void printDocument(const Document& doc, QPrinter& printer);

// Prints on `chosen`, or on a printer from the factory. Without any printer
// the document is written as a PDF into the documents folder and the user is
// told where.
void printOrSave(const Document& doc, QPrinter* chosen = nullptr);
