#pragma once

#include "core/money.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// "Rejestracja opłaty": created once at start-up and borrowed by every billing
// window, bound for one call to that window's group.
class TRejestracjaOplaty : public QDialog {
    Q_OBJECT
public:
    explicit TRejestracjaOplaty(QWidget* parent = nullptr);

    // Shows the dialog for a new payment of the group; true when a payment
    // was saved. Closing it in any other way discards the new payment.
    bool registerFor(int groupId, const QString& toPayText, Money toPay);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void proposeNumber();
    void save();

    int m_groupId = 0;
    Money m_proposed;           // the amount still to pay, to the ten-thousandth
    bool m_amountTyped = false; // the field shows only two places of it
    QComboBox* m_type = nullptr;
    QComboBox* m_form = nullptr;
    QLineEdit* m_number = nullptr;
    QLabel* m_numberHint = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_toPay = nullptr;
    QDateEdit* m_day = nullptr;
};
