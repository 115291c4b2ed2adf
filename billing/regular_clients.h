#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// A recipient of an earlier invoice.
struct RegularClient {
    QString name;
    QString nip;
    QString address;
    std::optional<int> idKind;    // what nip is (BuyerIdKind); empty when not known
    std::optional<int> countryId; // Panstwo.ID
};

// The query behind the regular clients list. It starts with the recipients
// of issued invoices; a search looks through every calculation, issued or
// not, and stays in force for later showings.
class RegularClients {
public:
    // Empty fields do not restrict; the others match as plain substrings.
    void search(const QString& name, const QString& address, const QString& nip);
    QList<RegularClient> rows(QSqlDatabase db) const;
    bool searched() const { return m_searched; }

private:
    bool m_searched = false;
    QString m_name, m_address, m_nip;
};
