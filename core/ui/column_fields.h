#pragma once

#include <QList>
#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <utility>

class QLineEdit;

// A row of text fields that stand over (or under) the columns of a grid, each
// exactly as wide as its column, and that follow the columns when one is
// resized or moved, when the grid scrolls sideways and when the window is
// resized:
//
//     auto* fields = new ColumnFields(grid, this);
//     fields->addField(0, "SzukajNazwisko", "Szukanie wg nazwiska gościa");
//     fields->addField(3, "SzukajPokoj", "Szukanie wg numeru pokoju");
//     layout->addWidget(fields);
//     layout->addWidget(grid);
//
// The row goes into a layout like any widget, in the same column as its grid
// (it should be at least as wide as the grid). A field shows only the part of
// its column that the grid shows; the field of a hidden column is hidden.
class ColumnFields : public QWidget {
    Q_OBJECT
public:
    ColumnFields(QTableView* grid, QWidget* parent);

    // A field over the model's column `column`, wherever the column stands.
    QLineEdit* addField(int column, const QString& name, const QString& hint = {});
    // One field over each column from the first, in the columns' order, each
    // named and hinted by its pair; Enter in any of them runs `onEnter`.
    QList<QLineEdit*>
    addFieldsInOrder(std::initializer_list<std::pair<const char*, const char*>> namesAndHints,
                     const std::function<void()>& onEnter);
    const QList<QLineEdit*>& fields() const { return m_fields; }
    QTableView* grid() const { return m_grid; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Puts every field over its column again. The row does it by itself
    // whenever the grid or its columns change.
    void realign();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int fieldHeight() const;

    QPointer<QTableView> m_grid;
    // The fields live in a strip as wide as the grid's viewport, which cuts
    // off the part of a column that is scrolled out of view.
    QWidget* m_strip = nullptr;
    QList<QLineEdit*> m_fields;
    QList<int> m_columns;
};
