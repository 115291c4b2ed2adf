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

inline QComboBox* vatCombo(QWidget* parent, const char* name)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(vatChoices());
    return combo;
}

inline void setVat(QComboBox* combo, const QString& vat)
{
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
