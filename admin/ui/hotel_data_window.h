#pragma once

#include <QWidget>

class CursorFields;
class QComboBox;
class QLineEdit;
class QSpinBox;
class TableCursor;

// "Konfiguracja": the hotel's particulars (the Config row of the shared
// cursor) and the three invoice values of the settings store; under "Dane
// gości" the scope of the registration form and how long former guests'
// data are kept (Config), and how many backup archives are kept (settings
// store, "KopieZapasowe", 0 = all). A window of its own beside the frame,
// blocking nothing.
class TKonfiguracja : public QWidget {
    Q_OBJECT
public:
    explicit TKonfiguracja(QWidget* parent = nullptr);

    // Whether one of the three settings boxes changed since the window opened.
    bool settingsChanged() const { return m_changed; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // "Dane Hotelu" with its boxes, the settings boxes among them.
    QWidget* buildData();
    QWidget* buildGuestData();
    // Shows the Config row's guest data values in their controls.
    void showGuestData();
    QLineEdit* box(const QString& name);
    QComboBox* kindBox();
    QLineEdit* settingsBox(const QString& name, const QString& text);
    void accept();
    void reject();

    TableCursor& m_config;
    CursorFields* m_fields;
    QLineEdit* m_rozszerzenie = nullptr;
    QLineEdit* m_bank = nullptr;
    QLineEdit* m_konto = nullptr;
    QComboBox* m_zakres = nullptr;
    QSpinBox* m_lata = nullptr;
    QSpinBox* m_kopie = nullptr;
    bool m_changed = false;
    bool m_backupsChanged = false;
    bool m_showing = false;
};
