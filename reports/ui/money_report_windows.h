#pragma once

#include "reports/engine/ui/parameter_window.h"

#include <QDate>

class QComboBox;
class QDateEdit;
class QLabel;
class QTableView;
class RowSet;
class RowSetModel;

// The parameter windows of the four money lists; each keeps its query open
// while its report reads it.

class TFormRapDlugi : public TFormParametry {
    Q_OBJECT
public:
    explicit TFormRapDlugi(QWidget* parent = nullptr);
    RowSet& rows() const { return *m_rows; }

private:
    RowSet* m_rows = nullptr;
};

// A window with a period over its grid; the query is read again on every
// change of either day.
class TFormOkres : public TFormParametry {
    Q_OBJECT
public:
    TFormOkres(const QString& caption, const QDate& from, const QDate& to, QWidget* parent);
    RowSet& rows() const { return *m_rows; }
    QDate from() const;
    QDate to() const;

protected:
    // `nameColumn` takes the width the other columns leave.
    void addGrid(const QList<std::tuple<QString, QString, Qt::Alignment>>& columns, int nameColumn);
    virtual void load() = 0;
    void connectDays();

    RowSet* m_rows = nullptr;
    RowSetModel* m_model = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
};

class TFormRapOplaty : public TFormOkres {
    Q_OBJECT
public:
    explicit TFormRapOplaty(QWidget* parent = nullptr);
    void setType(int index);

private:
    void load() override;
    void refreshTotal();

    QComboBox* m_type = nullptr;
    QLabel* m_total = nullptr;
};

class TFormRapFaktury : public TFormOkres {
    Q_OBJECT
public:
    explicit TFormRapFaktury(QWidget* parent = nullptr);

private:
    void load() override;
    // Exports the current invoice or correcting invoice for KSeF.
    void exportCurrent();
};

class TFormRabaty : public TFormOkres {
    Q_OBJECT
public:
    explicit TFormRabaty(QWidget* parent = nullptr);

private:
    void load() override;
};
