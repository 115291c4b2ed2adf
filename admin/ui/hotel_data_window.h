#pragma once

#include <QWidget>

class CursorFields;
class QComboBox;
class QLineEdit;
class TableCursor;

// "Konfiguracja": the hotel's particulars (the Config row of the shared
// cursor) and the three invoice values of the settings store. A window of
// its own beside the frame, blocking nothing.
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
    bool m_changed = false;
};
