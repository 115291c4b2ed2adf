#pragma once

#include "register/guest_details.h"
#include "reports/engine/report_output.h"

#include <QDialog>

#include <optional>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;

// "Dane szczegółowe klienta": everything known of one person, read-only, with
// the payments of the person's latest stay and a printout of the same.
// Controls: Nazwisko, Imie, Panstwo, DataUrodzenia, MiejsceUrodzenia, Adres,
// Rodzaj, Numer, Uwagi, NumerPokoju, Od, Do, Znizka, RachunekUpr, FakturaVat;
// the payments grid Oplaty; buttons EksportDanych, UsunDane (the person's data
// on request), Podglad, Drukuj, Zamknij.
class TDaneKlienta : public QDialog {
    Q_OBJECT
public:
    explicit TDaneKlienta(GuestDetails details, QWidget* parent = nullptr);
    ~TDaneKlienta() override;

    // Loads the person once and shows the window until "&Zamknij" or the close
    // box; after "&Podgląd" or "&Drukuj" the printout is made and the window
    // comes back.
    static void showFor(int personId, QWidget* parent);

    // Shows the window repeatedly as above.
    void run();

    const GuestDetails& details() const { return m_details; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    QGroupBox* buildPersonalBox();
    QGroupBox* buildDocumentBox();
    QGroupBox* buildRemarksBox();
    QGroupBox* buildStayBox();
    QTableView* buildPaymentGrid();
    void chooseOutput(ReportOutput output);

    GuestDetails m_details;
    std::optional<ReportOutput> m_output; // the printout asked for by the last showing
    QStandardItemModel* m_paymentModel = nullptr;
};
