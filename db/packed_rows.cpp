#include "db/packed_rows.h"

#include <cstring>
#include <sqlite3.h>

namespace {
// Each value is a tag, then its bytes: nothing for NULL, eight for a whole
// number or a real, a length and the UTF-8 bytes for a text.
enum Tag : char { Null = 0, Integer = 1, Real = 2, Text = 3 };

template <class T> void put(std::string& out, T value)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <class T> T take(const char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

void putText(std::string& out, const char* text, std::size_t bytes)
{
    out.push_back(Text);
    put(out, static_cast<std::uint32_t>(bytes));
    out.append(text, bytes);
}

// The place of a row's value `column`, past the values before it.
const char* skipTo(const char* at, int column)
{
    for (int i = 0; i < column; ++i) {
        switch (*at++) {
        case Integer:
        case Real:
            at += 8;
            break;
        case Text:
            at += take<std::uint32_t>(at);
            break;
        default:
            break;
        }
    }
    return at;
}
} // namespace

PackedRows::PackedRows(int columns)
    : m_columns(columns)
{
}

void PackedRows::clear()
{
    m_blocks.clear();
    m_rowAt.clear();
    m_used = 0;
    m_lastBlockSize = 0;
}

void PackedRows::store(const std::string& encoded)
{
    if (m_blocks.empty() || m_used + encoded.size() > m_lastBlockSize) {
        m_lastBlockSize = std::max(kBlock, encoded.size());
        m_blocks.emplace_back(new char[m_lastBlockSize]); // not zeroed: every byte used is written
        m_used = 0;
    }
    std::memcpy(m_blocks.back().get() + m_used, encoded.data(), encoded.size());
    m_rowAt.emplace_back(static_cast<std::uint32_t>(m_blocks.size() - 1),
                         static_cast<std::uint32_t>(m_used));
    m_used += encoded.size();
}

void PackedRows::append(sqlite3_stmt* statement)
{
    m_scratch.clear();
    for (int i = 0; i < m_columns; ++i) {
        switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
            m_scratch.push_back(Integer);
            put(m_scratch, static_cast<qint64>(sqlite3_column_int64(statement, i)));
            break;
        case SQLITE_FLOAT:
            m_scratch.push_back(Real);
            put(m_scratch, sqlite3_column_double(statement, i));
            break;
        case SQLITE_NULL:
            m_scratch.push_back(Null);
            break;
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            putText(m_scratch, text ? text : "",
                    static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
        }
        }
    }
    store(m_scratch);
}

void PackedRows::append(const QVector<QVariant>& values)
{
    m_scratch.clear();
    for (int i = 0; i < m_columns; ++i) {
        const QVariant& v = values.value(i);
        if (v.isNull()) {
            m_scratch.push_back(Null);
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Bool:
            m_scratch.push_back(Integer);
            put(m_scratch, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            m_scratch.push_back(Real);
            put(m_scratch, v.toDouble());
            break;
        default: {
            const QByteArray text = v.toString().toUtf8();
            putText(m_scratch, text.constData(), static_cast<std::size_t>(text.size()));
        }
        }
    }
    store(m_scratch);
}

const char* PackedRows::rowData(qsizetype row) const
{
    const auto& [block, offset] = m_rowAt[static_cast<std::size_t>(row)];
    return m_blocks[block].get() + offset;
}

void PackedRows::append(const PackedRows& other, qsizetype row)
{
    const char* begin = other.rowData(row);
    const char* end = skipTo(begin, m_columns);
    m_scratch.assign(begin, end);
    store(m_scratch);
}

void PackedRows::append(PackedRows&& other)
{
    if (isEmpty()) {
        *this = std::move(other);
        return;
    }
    for (qsizetype r = 0; r < other.size(); ++r)
        append(other, r);
    other.clear();
}

QVariant PackedRows::value(qsizetype row, int column) const
{
    if (row < 0 || row >= size() || column < 0 || column >= m_columns)
        return {};
    const char* at = skipTo(rowData(row), column);
    switch (*at++) {
    case Integer:
        return QVariant(take<qint64>(at));
    case Real:
        return QVariant(take<double>(at));
    case Text: {
        const auto bytes = take<std::uint32_t>(at);
        return QVariant(QString::fromUtf8(at, static_cast<qsizetype>(bytes)));
    }
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

QVector<QVariant> PackedRows::row(qsizetype row) const
{
    QVector<QVariant> values(m_columns);
    for (int c = 0; c < m_columns; ++c)
        values[c] = value(row, c);
    return values;
}
