#pragma once

#include "core/ui/close_query.h"

#include <QWidget>

class CursorGrid;
class QFormLayout;
class QLineEdit;
class QPushButton;
class TableCursor;

// The frame the room and price-list windows share: bound boxes over a grid
// of the shared cursor and the buttons "&Dodaj", "&Ok", "&Anuluj", "&Usuń"
// and "&Zamknij". The window closes itself when another window becomes
// active; a change still pending then is saved, or dropped if refused.
class SetupWindow : public QWidget, public CloseQuery {
    Q_OBJECT
public:
    TableCursor& cursor() const { return m_cursor; }
    // At exit a pending change is saved (or dropped if refused); never refuses.
    bool mayClose() override;

protected:
    SetupWindow(TableCursor& cursor, QWidget* parent);

    // Lays out the boxes (added to form()) above the grid and the buttons;
    // called by the subclass once its boxes exist.
    void finish(CursorGrid* grid, QLineEdit* firstField);
    QFormLayout* form() const { return m_form; }

    virtual void save(); // "&Ok"
    virtual void checkBeforeSave() {}
    virtual bool mayDelete() const { return true; }
    // Asked before "&Usuń" deletes the current row; may refuse with a message.
    virtual bool mayRemoveCurrent() { return true; }
    // Opens the cursors the window shows; run when it becomes active.
    virtual void openCursors();
    void updateEnabling();

    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* button(const QString& caption, const QString& name);

    TableCursor& m_cursor;
    QFormLayout* m_form;
    QLineEdit* m_firstField = nullptr;
    QPushButton* m_dodaj;
    QPushButton* m_ok;
    QPushButton* m_anuluj;
    QPushButton* m_usun;
    QPushButton* m_zamknij;
};
