#pragma once

class QApplication;
class QCoreApplication;
class QTranslator;

// What main() sets before the first window: the program's names and icon
// (every window and dialog carries it), the Polish locale and Qt's own Polish
// texts.
void setUpApplication(QApplication& app);

// The program's icon in every size it is drawn in.
class QIcon;
QIcon programIcon();

// Qt's own texts (the standard buttons of input boxes, the file dialogs, the
// date picker) in Polish. Returns the installed translator, owned by `app`,
// or nullptr when the translation is not on the machine.
QTranslator* installQtTranslation(QCoreApplication& app);
