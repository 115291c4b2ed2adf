#pragma once

#include "reports/engine/document.h"

#include <QList>
#include <QString>
#include <QStringList>

// Checks of a laid-out Document that what the database can hold prints whole.
// Each returns one line per fault ("page 2 Szczegoly/Nazwa: ..."), empty when
// the layout is sound, so a failure names every fault at once.

// A text of `length` wide letters, as the widest value a column of that width
// holds: in words of up to seven letters ("WWWWWWW ŻŻŻŻŻŻŻ WW"), or, with
// `oneWord`, a single word that no line break between words can help.
QString wideText(int length, bool oneWord = false);

// The lines a text item is painted in, measured with QTextLayout in the item's
// font at 600 dpi, the box's width less its inner margins; `height` receives
// the height they take in millimetres.
QStringList laidOutLines(const PlacedItem& item, qreal* height = nullptr);

// Every text whose box is too narrow or too low for its lines, and every text
// that runs off the paper.
QStringList textsNotFitting(const Document& doc);

// Every pair of texts of different bands, or of different occurrences of one
// band, whose boxes overlap: a row that grew over the next one, or a page
// header over the title.
QStringList overlappingTexts(const Document& doc);

// The occurrences of a band on a page, each the items one printing placed,
// told apart by the band's first control coming round again.
QList<QList<PlacedItem>> bandOccurrences(const Page& page, const QString& band);

// Every occurrence of `band` whose rule (the line or bar named `rule`; without
// a name, its one horizontal line or bar) does not lie at the foot of the
// occurrence's texts, or that has no such rule.
QStringList rulesNotUnderRows(const Document& doc, const QString& band,
                              const QString& rule = QString());

// Every occurrence of `band` whose texts do not share one top, one height and
// one vertical alignment, so that one would sit higher than another.
QStringList cellsNotLevel(const Document& doc, const QString& band);

// With REZYDO_KEEP_OUTPUT naming a folder, writes the document there as
// <name>.pdf, to be looked at; otherwise does nothing.
void keepPdf(const Document& doc, const QString& name);
