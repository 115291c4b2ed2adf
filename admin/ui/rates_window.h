#pragma once

#include "admin/ui/setup_window.h"

// "Stawki VAT": the rate table. A rate no longer offered stays for the lines
// that carry it; a rate some line or service carries cannot be deleted.
class TStawkiVat : public SetupWindow {
    Q_OBJECT
public:
    explicit TStawkiVat(QWidget* parent = nullptr);

protected:
    bool mayRemoveCurrent() override;
};

// "Usługi": what the house sells besides rooms, with unit, gross price, rate
// and classification symbol, offered by the billing window.
class TUslugi : public SetupWindow {
    Q_OBJECT
public:
    explicit TUslugi(QWidget* parent = nullptr);

protected:
    bool mayDelete() const override;
};
