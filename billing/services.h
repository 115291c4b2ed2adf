#pragma once

#include "core/money.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// One service the house sells besides rooms (Uslugi).
struct Service {
    qint64 id = 0;
    QString name;
    QString unit;
    Money price; // unit gross price
    QString vat;
    QString pkwiu;
};
// The list in Polish order of names.
QList<Service> loadServices(QSqlDatabase db);
// The units offered for a service.
const QStringList& serviceUnits();

// One service line of a calculation (Kalk_usl).
struct ServiceLine {
    qint64 no = 0;
    int groupId = 0;
    QString name;
    QString unit;
    int quantity = 1;
    Money price; // unit gross price
    QString vat;
    QString pkwiu;
    Money tax;
    Money gross;
};
ServiceLine serviceLineOf(const Service& service, int groupId, int quantity);
// The quantity a service of `unit` is proposed with for a stay: one a night
// ("doba"), one a person a night ("osoba"), else one.
int defaultServiceQuantity(const QString& unit, int persons, int nights);

// Gross = unit price × quantity, rounded half up to cents; the tax is the VAT
// contained in it at the rate's percentage. A line without a name or with no
// quantity is refused (RezydoError).
ServiceLine computeServiceLine(ServiceLine line, int vatPercent);

QList<ServiceLine> loadServiceLines(QSqlDatabase db, int groupId); // in order of entry

// Each in one transaction together with the calculation's sums and its
// settled flag; returns the line as stored.
ServiceLine addServiceLine(QSqlDatabase db, const ServiceLine& line);
ServiceLine changeServiceLine(QSqlDatabase db, const ServiceLine& line);
void removeServiceLine(QSqlDatabase db, int groupId, qint64 no);
