#pragma once

#include "billing/calculation.h"
#include "billing/payments.h"
#include "billing/services.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class TRejestracjaOplaty;
class TStaliKlienci;

// "Opłaty": the billing window of one accommodation group, with its
// calculation ("Opłaty", "Pokoje") and its invoice ("Faktura / Rachunek").
// The payment and regular-clients dialogs are borrowed, not owned.
class TOplaty : public QWidget {
    Q_OBJECT
public:
    // Prints or previews the group's VAT invoice with the given SWW symbol.
    using InvoicePrinter = std::function<void(int groupId, bool preview, const QString& sww)>;
    // Installed once by the program; without one "&Podgląd" and "&Drukuj" do nothing.
    static void setInvoicePrinter(InvoicePrinter printer);

    // Creates the group's calculation when it has none, then loads it. Throws
    // when the group cannot be opened.
    TOplaty(int groupId, TRejestracjaOplaty& payments, TStaliKlienci& clients,
            QWidget* parent = nullptr);

    int groupId() const { return m_groupId; }

private:
    QWidget* buildTop();
    QWidget* buildChargesPage();
    QWidget* buildRoomsPage();
    QWidget* buildServicesPage();
    QWidget* buildInvoicePage();
    void layoutChargesPage(QWidget* page, QPushButton* apply, QPushButton* remove,
                           QPushButton* add);
    void connectRoomsPage();
    QWidget* buildPaymentMethod(QWidget* page);
    QLayout* buildPrepaymentRow(QWidget* page);
    void connectInvoicePage();
    QPushButton* closeButton(const char* name);
    void closeWindow();

    // The header and the payments ("Opłaty").
    void reloadHeader();
    void showHeader();
    void headerEdited();
    void loadPayments();
    void showSettlement(const Settlement& s);
    void applyDiscountToAll(bool remove);
    void addPayment();
    void deletePayment();
    void pageChanged();

    // The lines ("Pokoje").
    void loadLines(int row);
    void showLine(int row);
    void lineEdited();
    void setLineChanging(bool changing);
    CalcLine editedLine() const;
    void saveCurrentLine();
    void cancelLine();

    // The service lines ("Usługi").
    void connectServicesPage();
    void loadServiceLines(int row);
    void showServiceLine(int row);
    void serviceChosen(int index);
    void saveServiceLine(bool asNew);
    void removeCurrentServiceLine();
    void servicesChanged(int row);

    // The invoice ("Faktura / Rachunek").
    void showInvoicePage();
    void setInvoiceEnabled(bool open);
    void collectInvoiceFields();
    void methodChosen(bool transfer);
    void issue();
    void cancelIssued();
    void chooseClient();
    void confirmPrepayment();
    void print(bool preview);
    void correct();
    // The invoice's structured document for the national e-invoice system.
    void showKsefState(bool issued);
    void warnKsefLimit();
    void checkBuyerId();
    void fillCountries();
    void setCountry(std::optional<int> countryId);
    // An issued invoice freezes the lines and amounts of the calculation.
    void setCalculationFrozen(bool frozen);

    const int m_groupId;
    QStringList m_vatCodes; // the rates offered for new and changed lines
    TRejestracjaOplaty& m_paymentDialog;
    TStaliKlienci& m_clientsDialog;
    CalcHeader m_header;
    bool m_headerChanging = false;
    bool m_calculationFrozen = false; // the invoice is issued
    bool m_filling = false;           // fields are being filled, not edited
    Money m_toPay;
    QList<CalcLine> m_lines;
    int m_lineRow = -1;
    bool m_lineChanging = false;
    bool m_priceEdited = false;
    bool m_grossEdited = false;
    bool m_prepaymentEdited = false;
    std::optional<int> m_proposedNumber; // the number shown was proposed, not stored
    QString m_checkedNip;                // the identifier last checked on entry

    QTabWidget* m_pages = nullptr;
    // Top
    QLineEdit* m_groupName = nullptr;
    QLineEdit* m_groupPersons = nullptr;
    QLineEdit* m_groupFrom = nullptr;
    QLineEdit* m_groupTo = nullptr;
    QLineEdit* m_groupNotes = nullptr;
    // "Opłaty"
    QComboBox* m_vat = nullptr;
    QLineEdit* m_discount = nullptr;
    QLineEdit* m_basis = nullptr;
    QLineEdit* m_gross = nullptr;
    QLineEdit* m_tax = nullptr;
    QLineEdit* m_paid = nullptr;
    QLineEdit* m_due = nullptr;
    QLabel* m_settled = nullptr;
    QTableView* m_paymentList = nullptr;
    QStandardItemModel* m_paymentModel = nullptr;
    QPushButton* m_deletePayment = nullptr;
    // "Pokoje"
    QTableView* m_lineList = nullptr;
    QStandardItemModel* m_lineModel = nullptr;
    QLineEdit* m_lineSize = nullptr;
    QLineEdit* m_lineRoom = nullptr;
    QLineEdit* m_lineTaken = nullptr;
    QLineEdit* m_lineNights = nullptr;
    QLineEdit* m_linePrice = nullptr;
    QLineEdit* m_lineDiscount = nullptr;
    QComboBox* m_lineVat = nullptr;
    QLineEdit* m_lineBasis = nullptr;
    QLineEdit* m_lineGross = nullptr;
    QLineEdit* m_total = nullptr;
    QPushButton* m_lineOk = nullptr;
    QPushButton* m_lineCancel = nullptr;
    // "Usługi"
    QList<Service> m_services;
    QList<ServiceLine> m_serviceLines;
    int m_serviceRow = -1;
    QCheckBox* m_breakfast = nullptr;
    QTableView* m_serviceList = nullptr;
    QStandardItemModel* m_serviceModel = nullptr;
    QComboBox* m_serviceChoice = nullptr;
    QLineEdit* m_serviceName = nullptr;
    QComboBox* m_serviceUnit = nullptr;
    QLineEdit* m_serviceQuantity = nullptr;
    QLineEdit* m_servicePrice = nullptr;
    QComboBox* m_serviceVat = nullptr;
    QLineEdit* m_servicePkwiu = nullptr;
    QLineEdit* m_servicesTotal = nullptr;
    QPushButton* m_addService = nullptr;
    QPushButton* m_changeService = nullptr;
    QPushButton* m_removeService = nullptr;
    // "Faktura / Rachunek"
    QLineEdit* m_recipient = nullptr;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_order = nullptr;
    QLineEdit* m_nip = nullptr;
    QComboBox* m_idKind = nullptr;
    QComboBox* m_country = nullptr;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_sww = nullptr;
    QLineEdit* m_prepayment = nullptr;
    QPushButton* m_confirmPrepayment = nullptr;
    QDateEdit* m_prepaymentDate = nullptr;
    QComboBox* m_prepaymentForm = nullptr;
    QDateEdit* m_issueDate = nullptr;
    QDateEdit* m_saleDate = nullptr;
    QRadioButton* m_cash = nullptr;
    QRadioButton* m_transfer = nullptr;
    QSpinBox* m_term = nullptr;
    QLabel* m_termLabel = nullptr;
    QLabel* m_termDays = nullptr;
    QLabel* m_invoiceState = nullptr;
    QPushButton* m_clients = nullptr;
    QPushButton* m_issue = nullptr;
    QPushButton* m_cancelInvoice = nullptr;
    QPushButton* m_correct = nullptr;
    QPushButton* m_preview = nullptr;
    QPushButton* m_printButton = nullptr;
    QLabel* m_ksefState = nullptr;
    QPushButton* m_ksefExport = nullptr;
    QPushButton* m_ksefNumber = nullptr;
};
