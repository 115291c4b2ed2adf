// The person archive on the big database, through its own code: "Wszystkie
// osoby" loaded into the grid's row set and model, a surname typed into its
// search box, and the printout of 10 000 of its rows laid out and written to
// PDF. Beside each, the same statement stepped with the C API.
#include "bench/bench_database.h"

#include "admin/archive_report.h"
#include "admin/person_archive.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/engine/report_rows.h"

#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

// The heap in use: what holding the rows costs, whatever the heap held before
// (resident memory would hide the rows in memory freed by earlier benchmarks).
double heapMegabytes()
{
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / (1024.0 * 1024.0);
}

ArchiveStatement allPersons()
{
    return archiveStatement(ArchiveKind::AllPersons, {}, {}, kArchiveInitialOrder);
}

RowSet* newRows()
{
    return new RowSet([] { return BenchDatabase::instance().qt(); });
}

// What the window does when it opens: the rows into the row set under the
// grid's model, and the first screen of cells read as the grid paints them.
int loadIntoGrid(RowSet& rows, RowSetModel& model)
{
    openArchive(rows, allPersons());
    int cells = 0;
    for (int r = 0; r < 30 && r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            cells += model.data(model.index(r, c)).isValid() ? 1 : 0;
    return cells;
}

void personArchiveProgram(benchmark::State& state)
{
    const double before = heapMegabytes();
    {
        std::unique_ptr<RowSet> rows(newRows());
        RowSetModel model(*rows);
        loadIntoGrid(*rows, model);
        state.counters["rows_MB"] = heapMegabytes() - before;
    }
    int loaded = 0;
    for (auto _ : state) {
        std::unique_ptr<RowSet> rows(newRows());
        RowSetModel model(*rows);
        benchmark::DoNotOptimize(loadIntoGrid(*rows, model));
        loaded = rows->loadedCount();
    }
    state.counters["rows"] = loaded;
}

void personArchiveBare(benchmark::State& state)
{
    const QByteArray sql = allPersons().sql.toUtf8();
    int rows = 0;
    for (auto _ : state)
        rows = bareRows(BenchDatabase::instance().bare(), sql.constData());
    state.counters["rows"] = rows;
}

// A surname typed into the search box of the loaded archive: the filter runs
// on the rows in memory, a different one each time.
void archiveSurnameFilter(benchmark::State& state)
{
    std::unique_ptr<RowSet> rows(newRows());
    openArchive(*rows, allPersons());
    const QString filters[] = {archiveSearch({QStringLiteral("Kowal")}),
                               archiveSearch({QStringLiteral("Nowak")})};
    int i = 0;
    for (auto _ : state)
        if (rows->setFilter(filters[i++ % 2]))
            state.SkipWithError("the filter was refused");
    state.counters["rows"] = rows->rowCount();
}

constexpr int kPrinted = 10000;

// The printout of the first 10 000 rows of the archive, as printing without a
// preview makes it: every page laid out, then written to a PDF file.
void archivePrintoutProgram(benchmark::State& state)
{
    std::unique_ptr<RowSet> rows(newRows());
    ArchiveStatement s = allPersons();
    s.sql += QStringLiteral(" LIMIT %1").arg(kPrinted);
    openArchive(*rows, s);
    const QString path = QDir::tempPath() + QStringLiteral("/rezydo-bench-archive.pdf");
    int pages = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const RowSetData data(*rows);
        TRapArchiwum report(data);
        const Document doc = generateDocument(report);
        if (!writePdf(doc, path))
            state.SkipWithError("the PDF was not written");
        pages = doc.pageCount();
    }
    bytes = QFile(path).size();
    QFile::remove(path);
    state.counters["rows"] = rows->rowCount();
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void archivePrintoutBare(benchmark::State& state)
{
    const QByteArray sql = (allPersons().sql + QStringLiteral(" LIMIT %1").arg(kPrinted)).toUtf8();
    int rows = 0;
    for (auto _ : state)
        rows = bareRows(BenchDatabase::instance().bare(), sql.constData());
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(personArchiveProgram)->Name("PersonArchive/program")->Unit(benchmark::kMillisecond);
BENCHMARK(personArchiveBare)->Name("PersonArchive/bare")->Unit(benchmark::kMillisecond);
BENCHMARK(archiveSurnameFilter)
    ->Name("ArchiveSurnameFilter/program")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(archivePrintoutProgram)
    ->Name("ArchivePrintout10k/program")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(archivePrintoutBare)->Name("ArchivePrintout10k/bare")->Unit(benchmark::kMillisecond);
