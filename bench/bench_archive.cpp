// The person archive on the big database, through its own code: the first
// screen of "Wszystkie osoby" as the grid reads it (ArchiveRows), scrolling it
// to the end page by page, a surname typed into its search box, a click on a
// title, and the printout of 10 000 of its rows laid out and written to PDF.
// Beside each, the same statement stepped with the C API. The whole archive
// loaded into a row set (the way the window read it before) stays, as
// PersonArchiveWhole, for comparison.
#include "bench/bench_database.h"

#include "admin/archive_report.h"
#include "admin/archive_rows.h"
#include "admin/person_archive.h"
#include "db/row_set.h"
#include "db/row_set_model.h"
#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/engine/report_rows.h"

#include <QDir>
#include <QElapsedTimer>
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
        rows = rawRows(sql.constData());
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

// The statements the grid runs, written out for the C API.
const QString kColumnsSql = QStringLiteral(
    "SELECT Arch_os.Identyfikator_o, Arch_os.Nazwisko, Arch_os.Imie, Arch_os.Adres, "
    "Ksiazka.Identyfikator_g, Ksiazka.Nr_pokoju, Ksiazka.Od, Ksiazka.\"Do\", "
    "Arch_os.Dokument_rodz, Arch_os.Dokument_nr, Arch_os.Data_ur, Arch_os.Miejsce_ur, "
    "Arch_os.Uwagi ");
const QString kStaysByGroup =
    kColumnsSql +
    QStringLiteral("FROM Ksiazka JOIN Arch_os ON Arch_os.Identyfikator_o = "
                   "Ksiazka.Identyfikator_o WHERE Ksiazka.Wykwaterowany = 1 AND "
                   "typeof(Ksiazka.Identyfikator_g) = 'integer' ORDER BY "
                   "Ksiazka.Identyfikator_g DESC, Ksiazka.Identyfikator_o, Ksiazka.rowid");
const QString kEveryPersonBySurname =
    kColumnsSql +
    QStringLiteral("FROM Arch_os LEFT JOIN Ksiazka ON Arch_os.Identyfikator_o = "
                   "Ksiazka.Identyfikator_o WHERE (Ksiazka.Wykwaterowany = 1 OR "
                   "Ksiazka.Identyfikator_g IS NULL) AND typeof(Arch_os.Identyfikator_o) = "
                   "'integer' ORDER BY ifnull(Arch_os.Nazwisko, '') COLLATE PL, "
                   "Arch_os.Identyfikator_o, Ksiazka.rowid");

ArchiveRows* newPages()
{
    return new ArchiveRows([] { return BenchDatabase::instance().qt(); });
}

// The cells of the first screen, as the grid paints them.
int firstScreen(const ArchiveRows& rows)
{
    int cells = 0;
    for (int r = 0; r < 30 && r < rows.rowCount(); ++r)
        for (int c = 1; c < 8; ++c)
            cells += rows.text(r, c).isNull() ? 0 : 1;
    return cells;
}

// "Wszystkie osoby" as the window opens: the first page and its first screen.
void archiveFirstScreenProgram(benchmark::State& state)
{
    const double before = heapMegabytes();
    {
        std::unique_ptr<ArchiveRows> rows(newPages());
        rows->open({});
        firstScreen(*rows);
        state.counters["rows_MB"] = heapMegabytes() - before;
    }
    for (auto _ : state) {
        std::unique_ptr<ArchiveRows> rows(newPages());
        rows->open({});
        benchmark::DoNotOptimize(firstScreen(*rows));
    }
    state.counters["rows"] = ArchiveRows::kPageSize;
}

void archiveFirstScreenBare(benchmark::State& state)
{
    const QByteArray sql =
        (kStaysByGroup + QStringLiteral(" LIMIT %1").arg(ArchiveRows::kPageSize)).toUtf8();
    for (auto _ : state)
        rawRows(sql.constData());
}

// Scrolling to the end: every page read in turn, the longest wait between two.
void archiveScrollProgram(benchmark::State& state)
{
    double longest = 0;
    int rowsRead = 0;
    double megabytes = 0;
    for (auto _ : state) {
        const double before = heapMegabytes();
        std::unique_ptr<ArchiveRows> rows(newPages());
        rows->open({});
        QElapsedTimer page;
        while (rows->canFetchMore()) {
            page.start();
            rows->fetchMore();
            longest = std::max(longest, page.nsecsElapsed() / 1e6);
        }
        rowsRead = rows->rowCount();
        megabytes = heapMegabytes() - before;
    }
    state.counters["rows"] = rowsRead;
    state.counters["rows_MB"] = megabytes;
    state.counters["longest_page_ms"] = longest;
}

void archiveScrollBare(benchmark::State& state)
{
    const QByteArray sql = kStaysByGroup.toUtf8();
    int rows = 0;
    for (auto _ : state)
        rows = rawRows(sql.constData());
    state.counters["rows"] = rows;
}

// A surname typed into the search box of "Wszystkie osoby": the statement
// again, narrowed by the surname, to its first screen; a different one each time.
void archiveSurnameSearchProgram(benchmark::State& state)
{
    std::unique_ptr<ArchiveRows> rows(newPages());
    rows->open({});
    const QString searches[] = {archiveSearch({QStringLiteral("Kowal")}),
                                archiveSearch({QStringLiteral("Nowak")})};
    int i = 0;
    for (auto _ : state) {
        if (rows->setSearch(searches[i++ % 2]))
            state.SkipWithError("the search was refused");
        benchmark::DoNotOptimize(firstScreen(*rows));
    }
    state.counters["rows"] = rows->rowCount();
}

void archiveSurnameSearchBare(benchmark::State& state)
{
    const QByteArray sql =
        (kColumnsSql +
         QStringLiteral(
             "FROM Ksiazka JOIN Arch_os ON Arch_os.Identyfikator_o = Ksiazka.Identyfikator_o "
             "WHERE Ksiazka.Wykwaterowany = 1 AND typeof(Ksiazka.Identyfikator_g) = 'integer' "
             "AND ifnull(Arch_os.Nazwisko, '') COLLATE PL >= 'nowak' AND "
             "ifnull(Arch_os.Nazwisko, '') COLLATE PL <= 'nowak\U000323AF' AND "
             "typeof(Arch_os.Identyfikator_o) = 'integer' ORDER BY Ksiazka.Identyfikator_g "
             "DESC, Ksiazka.Identyfikator_o, Ksiazka.rowid LIMIT 100"))
            .toUtf8();
    for (auto _ : state)
        rawRows(sql.constData());
}

// A click on the "Nazwisko" title of the open archive and its first screen.
void archiveTitleSortProgram(benchmark::State& state)
{
    std::unique_ptr<ArchiveRows> rows(newPages());
    rows->open({});
    const QString orders[] = {QStringLiteral("Nazwisko"), QStringLiteral("Nazwisko desc")};
    int i = 0;
    for (auto _ : state) {
        rows->open({ArchiveKind::AllPersons, {}, {}, orders[i++ % 2]});
        benchmark::DoNotOptimize(firstScreen(*rows));
    }
}

void archiveTitleSortBare(benchmark::State& state)
{
    const QByteArray sql = (kEveryPersonBySurname + QStringLiteral(" LIMIT 100")).toUtf8();
    for (auto _ : state)
        rawRows(sql.constData());
}

constexpr int kPrinted = 10000;

// The printout of the first 10 000 rows of the archive, as printing without a
// preview makes it: every page laid out, then written to a PDF file.
void archivePrintoutProgram(benchmark::State& state)
{
    ArchiveRows rows([] { return BenchDatabase::instance().qt(); });
    rows.setPageSize(kPrinted);
    rows.open({});
    const QString path = QDir::tempPath() + QStringLiteral("/rezydo-bench-archive.pdf");
    int pages = 0;
    qint64 bytes = 0;
    double layoutMs = 0, pdfMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        ReportRows data(rows.columns(), {});
        for (int r = 0; r < rows.rowCount(); ++r) {
            QVariantList row;
            for (int c = 0; c < rows.columns().size(); ++c)
                row << rows.value(r, c);
            data.append(row);
        }
        TRapArchiwum report(data);
        const Document doc = generateDocument(report);
        layoutMs += clock.nsecsElapsed() / 1e6;
        clock.restart();
        if (!writePdf(doc, path))
            state.SkipWithError("the PDF was not written");
        pdfMs += clock.nsecsElapsed() / 1e6;
        pages = doc.pageCount();
    }
    // Wall-clock shares of the two halves, per printout.
    state.counters["layout_ms"] = layoutMs / static_cast<double>(state.iterations());
    state.counters["pdf_ms"] = pdfMs / static_cast<double>(state.iterations());
    bytes = QFile(path).size();
    QFile::remove(path);
    state.counters["rows"] = rows.rowCount();
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}

void archivePrintoutBare(benchmark::State& state)
{
    const QByteArray sql = (kStaysByGroup + QStringLiteral(" LIMIT %1").arg(kPrinted)).toUtf8();
    int rows = 0;
    for (auto _ : state)
        rows = rawRows(sql.constData());
    state.counters["rows"] = rows;
}

const bool registered = [] {
    registerProgram("ArchiveFirstScreen", archiveFirstScreenProgram);
    registerBare("ArchiveFirstScreen", archiveFirstScreenBare);
    const auto once = [](benchmark::internal::Benchmark* b) { b->Iterations(1); };
    registerProgram("ArchiveScrollToEnd", archiveScrollProgram, once);
    registerBare("ArchiveScrollToEnd", archiveScrollBare);
    registerProgram("ArchiveSurnameSearch", archiveSurnameSearchProgram);
    registerBare("ArchiveSurnameSearch", archiveSurnameSearchBare);
    registerProgram("ArchiveTitleSort", archiveTitleSortProgram);
    registerBare("ArchiveTitleSort", archiveTitleSortBare);
    registerProgram("PersonArchiveWhole", personArchiveProgram);
    registerBare("PersonArchiveWhole", personArchiveBare);
    // Both work on rows read before the timing starts (a filter of loaded
    // rows; laying out and writing a PDF): the engine plays no part in what
    // is timed, so the file's run stands for both. The printout's statement
    // is ArchivePrintout10k/bare and /serverbare.
    registerOn(BenchEngine::File, "ArchiveSurnameFilter/program", archiveSurnameFilter);
    const auto twice = [](benchmark::internal::Benchmark* b) { b->Iterations(2); };
    registerOn(BenchEngine::File, "ArchivePrintout10k/program", archivePrintoutProgram, twice);
    registerBare("ArchivePrintout10k", archivePrintoutBare);
    return true;
}();

} // namespace
