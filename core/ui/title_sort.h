#pragma once

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QHeaderView;

// Sorting a grid by a click on a column title. The grid keeps an order text
// (a field name, or a field name and " desc") and marks the sorted column's
// title with " (+)" (ascending) or " (-)" (descending):
//
//     new TitleSort(view->horizontalHeader(), {{0, "Identyfikator"}, {1, "Nazwa"}},
//                   "Identyfikator desc", [this](const QString& order) { reload(order); });
//
// shows "Id (-)" at once; a click on "Id" then sorts ascending. Successive
// clicks on one title alternate ascending/descending, starting ascending; a
// click on another title starts it ascending. Titles are read and written
// through the header's model (headerData/setHeaderData), so bind after the
// model is set. The object becomes a child of the header, which owns it.
// The order text is made only of the field names given here,
// so callers may put it into SQL as a fixed fragment; the statement that
// takes it orders a text field in Polish order (COLLATE PL, see
// db/polish_collation.h), a room number as plain text.
class TitleSort : public QObject {
    Q_OBJECT
public:
    using Reload = std::function<void(const QString& order)>;

    // `fields` maps a column (section) to its field name; columns not named
    // do not sort. The initial order's column gets its marker now.
    TitleSort(QHeaderView* header, QMap<int, QString> fields, QString initialOrder, Reload reload);

    const QString& order() const { return m_order; }
    // What a click on the title of `section` does; exceptions from the reload
    // reach the caller (a click from the header runs it through guarded()).
    void click(int section);

    // A title without its marker: cut before the first " (+)", or, when there
    // is none, before the first " (-)".
    static QString withoutMarker(const QString& title);
    // The order after a click on a column of `field` when the order was `order`.
    static QString nextOrder(const QString& order, const QString& field);

private:
    QString title(int section) const;
    void setTitle(int section, const QString& title);
    void markOrder();

    QPointer<QHeaderView> m_header;
    QMap<int, QString> m_fields;
    QString m_order;
    Reload m_reload;
};
