#pragma once

#include <QWidget>

class CursorFields;
class QLineEdit;
class QMdiSubWindow;
class QPushButton;
class TableCursor;

// "Ustawienie państw": adding and deleting countries on a cursor of its own.
// An existing name cannot be changed.
class TPanstwa : public QWidget {
    Q_OBJECT
public:
    explicit TPanstwa(QWidget* parent = nullptr);

    TableCursor& countries() const { return *m_countries; }
    // The frame of the child window: it can be minimised, not maximised.
    static void setFrameButtons(QMdiSubWindow* sub);

private:
    QPushButton* button(const QString& caption, const QString& name);
    void updateEnabling();
    void ok();

    TableCursor* m_countries;
    CursorFields* m_fields;
    QLineEdit* m_nazwa;
    QPushButton* m_dodaj;
    QPushButton* m_ok;
    QPushButton* m_anuluj;
    QPushButton* m_usun;
    QPushButton* m_zamknij;
};
