#pragma once

#include "billing/correction.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

// "Faktura korygująca": corrects the issued invoice of one group. The lines
// of the invoice as they stand are listed with their values before; the user
// types the gross and the rate after, the reason, and issues the correction.
// The group's earlier corrections are listed below for preview and print.
class TKorekta : public QDialog {
    Q_OBJECT
public:
    // Prints or previews a correcting invoice.
    using Printer = std::function<void(qint64 correctionId, bool preview)>;
    static void setPrinter(Printer printer);

    TKorekta(int groupId, QWidget* parent = nullptr);

    // The correction issued while the dialog was open, or 0.
    qint64 issued() const { return m_issued; }

private:
    void loadLines();
    void loadCorrections();
    QList<CorrectionLine> editedLines() const;
    void showTotals();
    void issue();
    void print(bool preview);

    const int m_groupId;
    qint64 m_issued = 0;
    int m_proposed = 0;
    QList<CorrectionLine> m_lines;
    QStringList m_vatCodes; // the rates a changed line may take
    QList<qint64> m_correctionIds;
    bool m_filling = false;
    QLabel* m_invoice = nullptr;
    QStandardItemModel* m_lineModel = nullptr;
    QTableView* m_lineList = nullptr;
    QLabel* m_totals = nullptr;
    QLineEdit* m_reason = nullptr;
    QDateEdit* m_date = nullptr;
    QLineEdit* m_number = nullptr;
    QStandardItemModel* m_correctionModel = nullptr;
    QTableView* m_correctionList = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_print = nullptr;
};
