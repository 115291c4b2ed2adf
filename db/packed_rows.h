#pragma once

#include <QVariant>
#include <QVector>

#include <memory>
#include <string>
#include <vector>

struct sqlite3_stmt;

// Rows of a statement held compactly: the values of many rows in a few large
// blocks of bytes (texts as UTF-8), turned into QVariants only when asked for.
// A list of hundreds of thousands of rows then costs a fraction of the memory
// and none of the allocations of a QVariant per value. A NULL reads back as
// the SQL driver gives it (a null text), whole numbers as qlonglong.
class PackedRows {
public:
    explicit PackedRows(int columns = 0);
    PackedRows(PackedRows&&) noexcept = default;
    PackedRows& operator=(PackedRows&&) noexcept = default;

    int columnCount() const { return m_columns; }
    qsizetype size() const { return static_cast<qsizetype>(m_rowAt.size()); }
    bool isEmpty() const { return m_rowAt.empty(); }
    void clear();

    // The first columnCount() columns of the row a statement has just stepped to.
    void append(sqlite3_stmt* statement);
    void append(const QVector<QVariant>& values);
    // One row of another set with the same columns.
    void append(const PackedRows& other, qsizetype row);
    // Every row of another set, after these.
    void append(PackedRows&& other);

    QVariant value(qsizetype row, int column) const;
    QVector<QVariant> row(qsizetype row) const;

private:
    const char* rowData(qsizetype row) const;
    void store(const std::string& encoded);

    static constexpr std::size_t kBlock = 1 << 20;
    int m_columns = 0;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0; // bytes taken in the last block
    std::size_t m_lastBlockSize = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_rowAt; // block, offset
    std::string m_scratch;
};
