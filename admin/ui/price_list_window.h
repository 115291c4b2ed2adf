#pragma once

#include "admin/price_editing.h"
#include "admin/ui/setup_window.h"

class CursorFields;
class QLineEdit;

// "Cennik": the rows of the shared price-list cursor. The further-night
// prices follow the visible ones as they are typed.
class TCennik : public SetupWindow {
    Q_OBJECT
public:
    explicit TCennik(QWidget* parent = nullptr);

protected:
    void checkBeforeSave() override { m_editing.check(); }

private:
    QLineEdit* box(const QString& name);
    void addPriceBoxes();

    PriceEditing m_editing;
    CursorFields* m_fields = nullptr;
};
