#pragma once

#include "reports/engine/report.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>

// Everything the program holds about one person, for a guest who asks for a
// copy: the person record, every stay, the payments of those stays' groups
// and the invoices whose buyer names the person. Nothing of the other guests
// of a group is taken: room-mates and a buyer who is somebody else stay out.
struct PersonDataStay {
    int groupId = 0;
    QString room, from, to, country;
    bool checkedOut = false;
};
struct PersonDataPayment {
    int groupId = 0;
    QString type, number, day, amount;
};
struct PersonDataInvoice {
    int groupId = 0;
    QString kind, number, issued, buyer, address, nip, gross;
};
struct PersonData {
    int personId = 0;
    bool found = false;
    QDateTime made;
    QList<QPair<QString, QString>> person; // caption, value; in the details' order
    QList<PersonDataStay> stays;
    QList<PersonDataPayment> payments;
    QList<PersonDataInvoice> invoices;
};

// Throws DbError.
PersonData collectPersonData(QSqlDatabase db, int personId, const QDateTime& made);

// The same as an indented UTF-8 JSON document with Polish keys.
QByteArray personDataJson(const PersonData& data);

// The printable copy: the person's fields, then a table of stays, payments
// and invoices, each with a line saying when there is none.
class TRapDaneOsoby final : public Report {
public:
    explicit TRapDaneOsoby(PersonData data);

private:
    void buildPerson();
    void buildTable(const QString& name, const QString& heading, const QString& none,
                    const QStringList& captions, const QList<qreal>& widths, ReportRows& rows);

    PersonData m_data;
    ReportRows m_stays, m_payments, m_invoices;
};

// The file name proposed for a person's copy, without an extension.
QString personDataFileName(const PersonData& data);

// Writes the PDF to `pdfPath` and the JSON beside it (the same name ending
// in ".json"); returns the JSON's path. Throws RezydoError when a file cannot
// be written.
QString writePersonData(const PersonData& data, const QString& pdfPath);
