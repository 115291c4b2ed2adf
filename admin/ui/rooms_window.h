#pragma once

#include "admin/ui/setup_window.h"

class CursorFields;
class QCheckBox;
class QComboBox;

// "Ustawienie pokoi": the rooms of the shared room cursor, with the price-list
// types to choose from.
class TPokoje : public SetupWindow {
    Q_OBJECT
public:
    explicit TPokoje(QWidget* parent = nullptr);

protected:
    bool mayDelete() const override;
    void openCursors() override;

private:
    QComboBox* makeTypeList();
    void showType();
    void typeChosen(int row);
    void showAllYear();
    void allYearClicked(bool on);

    TableCursor& m_prices;
    CursorFields* m_fields;
    QComboBox* m_typ = nullptr;
    QCheckBox* m_calyRok = nullptr;
};
