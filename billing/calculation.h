#pragma once

#include "core/error.h"
#include "core/money.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One line of a group's calculation (Kalk_det).
struct CalcLine {
    qint64 no = 0; // the line's key
    int groupId = 0;
    QString room;
    QDate from, to;
    std::optional<int> size;  // beds of the room when the line was made
    std::optional<int> taken; // beds the group takes in it
    Money price1;             // first night ("Za dobę")
    Money price2;             // each following night
    std::optional<int> discount;
    QString discountBasis;
    int nights = 0;
    QString vat;
    Money tax;
    Money gross;
};

// The calculation and invoice header of a group (Kalk).
struct CalcHeader {
    int groupId = 0;
    QDate from, to;
    std::optional<int> days;
    QString vat;
    std::optional<int> persons;
    Money gross;
    Money tax;
    std::optional<int> discount;
    QString discountBasis;
    QString name;
    QString address;
    QString nip;
    std::optional<int> idKind;    // what Nip holds (BuyerIdKind); empty: as typed before
    std::optional<int> countryId; // the buyer's country (Panstwo.ID)
    std::optional<int> type;      // 2 = VAT invoice issued
    std::optional<int> number;    // Rach
    QString series;               // Seria: kept at issuing; empty for an older invoice
    QString order;
    Money prepayment;
    QDate issueDate, saleDate, dueDate;
    std::optional<int> paymentMethod; // 1 cash, 2 transfer
    QString notes;
    bool settled = false;
    // Kept for the invoice: when and how the prepayment came (a PaymentForm code).
    QDate prepaymentDate;
    std::optional<int> prepaymentForm;
    // The invoice layout: 1 as calculations made before services and today's
    // rates print, 2 one row per line with net, rate and tax.
    int layout = 1;
    bool breakfastIncluded = false; // the room price includes breakfast

    bool invoiceIssued() const { return type.value_or(0) > 0; }
};

// A line price that cannot be derived (no nights, or a discount of 100 %).
class CalculationError : public RezydoError {
public:
    CalculationError();
    static QString caption();
};

// The group's accommodation data shown on top of the billing window.
struct GroupInfo {
    QString name;
    std::optional<int> persons;
    QDate from, to;
    QString notes;
};
std::optional<GroupInfo> loadGroupInfo(QSqlDatabase db, int groupId);

bool hasCalculation(QSqlDatabase db, int groupId);
// Creates the calculation of an accommodation group from its room lines, the
// rooms and the price list, in one transaction. A line the database refuses
// is reported ("Nowa pozycja kalkulacji") and left out; a refused header
// rolls everything back and is thrown as DbError.
void createCalculation(QSqlDatabase db, int groupId);

CalcHeader loadHeader(QSqlDatabase db, int groupId);     // throws when there is none
QList<CalcLine> loadLines(QSqlDatabase db, int groupId); // in key order
Money linesGross(const QList<CalcLine>& lines);

// The saving rule of a changed line: a changed gross sets the price per
// night through the discount; otherwise the gross follows the price; the tax
// follows the rate's percentage. Throws CalculationError when no price per
// night can be derived.
CalcLine computeLineSave(CalcLine line, Money grossAtStart, int vatPercent);
// The same with the percentage read from the line's rate text.
CalcLine computeLineSave(CalcLine line, Money grossAtStart);

// Saves a changed line, the header's sums and the settled flag in one
// transaction; returns the line as stored.
CalcLine saveLine(QSqlDatabase db, const CalcLine& line, Money grossAtStart);

// Applies the header's discount (empty = none) and VAT to every line, then
// saves the header's VAT, discount, basis and sums and refreshes the settled
// flag. A database refusal rolls all of it back (DbError). A line whose price
// cannot be derived stops the loop: the lines before it stay saved, the sums
// are refreshed from what is stored, and CalculationError is thrown.
void applyDiscount(QSqlDatabase db, int groupId, const QString& vat, std::optional<int> discount,
                   const QString& basis);

// Writes the header's editable columns (not the sums, not the settled flag).
void saveHeader(QSqlDatabase db, const CalcHeader& header);
// Kalk.Brutto and Kalk.Podatek become the sums over the stored room and
// service lines.
void storeSums(QSqlDatabase db, int groupId);
// Whether the room lines are sold as lodging with breakfast (one composite service).
void setBreakfastIncluded(QSqlDatabase db, int groupId, bool included);
inline constexpr int kPerLineLayout = 2; // Kalk.Uklad of calculations made now
