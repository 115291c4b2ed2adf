#pragma once

#include "billing/vat.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItem>

// Small builders shared by the pages of the billing window.
namespace window_parts {

inline QLineEdit* field(QWidget* parent, const char* name, bool readOnly = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    return edit;
}

inline QLineEdit* wholeNumberField(QWidget* parent, const char* name)
{
    QLineEdit* edit = field(parent, name);
    edit->setValidator(new QIntValidator(-32768, 32767, edit));
    return edit;
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                           const QString& hint = {})
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

// The rates offered for new lines; wide enough for every code of the table.
inline QComboBox* vatCombo(QWidget* parent, const char* name, const QStringList& offered)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(offered);
    combo->setMinimumContentsLength(4);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return combo;
}

// The offered rates with `vat` chosen; a rate no longer offered (an old
// line's "7") is still shown as it is stored, for that line only.
inline void setVat(QComboBox* combo, const QString& vat, const QStringList& offered)
{
    QStringList items = offered;
    if (!vat.isEmpty() && !items.contains(vat))
        items << vat;
    if (combo->count() != items.size() || [&] {
            for (int i = 0; i < combo->count(); ++i)
                if (combo->itemText(i) != items.at(i))
                    return true;
            return false;
        }()) {
        combo->clear();
        combo->addItems(items);
    }
    combo->setCurrentIndex(combo->findText(vat));
}

inline QString intText(std::optional<int> n)
{
    return n ? QString::number(*n) : QString();
}

// Empty text is an empty value; the validator lets nothing else but numbers in.
inline std::optional<int> intFrom(const QLineEdit* edit)
{
    bool ok = false;
    const int n = edit->text().trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

inline QStandardItem* cell(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setEditable(false);
    return item;
}

} // namespace window_parts
