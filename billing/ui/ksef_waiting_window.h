#pragma once

#include "billing/ksef/ksef_record.h"

#include <QWidget>

class QPushButton;
class QStandardItemModel;
class QTableView;

// "Faktury do wysłania do KSeF": the invoices and correcting invoices that
// still have to reach the national e-invoice system, with the deadline of
// each (the next working day after issue); those due today or overdue are
// marked. Exports one or all, marks them handed over, takes the number
// given back or the reason of a rejection.
class TKsefOczekujace : public QWidget {
    Q_OBJECT
public:
    explicit TKsefOczekujace(QWidget* parent = nullptr);

    // Reads the list again, keeping the current document when it is still there.
    void reload();
    const QList<KsefWaiting>& waiting() const { return m_waiting; }

private:
    std::optional<KsefWaiting> current() const;
    void act(const std::function<bool(const KsefWaiting&)>& action);
    void updateButtons();

    QList<KsefWaiting> m_waiting;
    QTableView* m_grid = nullptr;
    QStandardItemModel* m_model = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_exportAll = nullptr;
    QPushButton* m_sent = nullptr;
    QPushButton* m_number = nullptr;
    QPushButton* m_rejected = nullptr;
};
