#pragma once

class QApplication;
class QCoreApplication;
class QTranslator;

// What main() sets before the first window: the program's names, the Polish
// locale and Qt's own Polish texts.
void setUpApplication(QApplication& app);

// Qt's own texts (the standard buttons of input boxes, the file dialogs, the
// date picker) in Polish. Returns the installed translator, owned by `app`,
// or nullptr when the translation is not on the machine.
QTranslator* installQtTranslation(QCoreApplication& app);
