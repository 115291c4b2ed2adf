#pragma once

#include "billing/regular_clients.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QStandardItemModel;
class QTableView;

// "Lista stałych klientów faktur": created once at start-up and shared by
// every billing window; the last search stays in force between showings.
class TStaliKlienci : public QDialog {
    Q_OBJECT
public:
    explicit TStaliKlienci(QWidget* parent = nullptr);

    // One showing: the chosen recipient, or nothing for "&Zamknij". "&OK" on
    // an empty list gives an empty recipient.
    std::optional<RegularClient> choose();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reload();
    void search();
    void showAll();
    void pick();

    RegularClients m_query;
    QList<RegularClient> m_rows;
    RegularClient m_chosen;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_nip = nullptr;
    QStandardItemModel* m_model = nullptr;
    QTableView* m_list = nullptr;
};
