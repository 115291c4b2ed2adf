#pragma once

#include <QWidget>

class QDateEdit;
class QLabel;

// "Liczba osób i udzielonych noclegów": persons and nights in a period,
// computed at once and again on every change of either date.
class TFormOsoboDoba : public QWidget {
    Q_OBJECT
public:
    explicit TFormOsoboDoba(QWidget* parent = nullptr);

    void recompute();

private:
    QDateEdit* m_start = nullptr;
    QDateEdit* m_end = nullptr;
    QLabel* m_persons = nullptr;
    QLabel* m_nights = nullptr;
};
