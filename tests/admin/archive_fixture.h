#pragma once

#include "reports/engine/document.h"
#include "reports/engine/generator.h"
#include "reports/engine/report_output.h"
#include "tests/support/test_env.h"

#include <QStringList>

#include <functional>
#include <memory>

// Lays out every report the program previews or prints and keeps the last
// document, instead of showing or printing it. Installed for its lifetime.
class RecordingPresenter {
public:
    RecordingPresenter()
    {
        auto presenter = std::make_unique<Presenter>(*this);
        m_previous = installReportPresenter(std::move(presenter));
    }
    ~RecordingPresenter() { installReportPresenter(std::move(m_previous)); }
    RecordingPresenter(const RecordingPresenter&) = delete;
    RecordingPresenter& operator=(const RecordingPresenter&) = delete;

    int previewed = 0;
    int printed = 0;
    Document last;
    std::function<void()> during; // runs while a report is being shown or printed

    // The first text of every detail band of the last document (the name column).
    QStringList lastDetailFirstTexts() const
    {
        QStringList out;
        for (const Page& page : last.pages)
            for (const PlacedItem& item : page.items)
                if (item.band == "Szczegoly" && item.control == "NazwiskoImie")
                    out << item.text;
        return out;
    }

private:
    class Presenter final : public ReportPresenter {
    public:
        explicit Presenter(RecordingPresenter& owner)
            : m_owner(owner)
        {
        }
        RunResult previewModal(Report& report) override
        {
            ++m_owner.previewed;
            m_owner.last = generateDocument(report);
            if (m_owner.during)
                m_owner.during();
            return RunResult::Completed;
        }
        void preview(std::shared_ptr<Report> report) override { previewModal(*report); }
        RunResult print(Report& report) override
        {
            ++m_owner.printed;
            m_owner.last = generateDocument(report);
            if (m_owner.during)
                m_owner.during();
            return RunResult::Completed;
        }

    private:
        RecordingPresenter& m_owner;
    };

    std::unique_ptr<ReportPresenter> m_previous;
};

// A person record; returns its Identyfikator_o.
inline int addPerson(TestEnv& env, const QString& surname, const QString& firstName,
                     const QString& address = {})
{
    env.exec("INSERT INTO Arch_os(Nazwisko, Imie, Adres, ID_Panstwo) VALUES (?, ?, ?, 1)",
             {surname, firstName, address});
    return env.scalar("SELECT max(Identyfikator_o) FROM Arch_os").toInt();
}

// A register entry of a person in group `group`: checked out or still staying.
inline void addStay(TestEnv& env, int person, int group, const QString& room, const QString& od,
                    const QString& to, bool checkedOut)
{
    env.exec("INSERT INTO Ksiazka(Identyfikator_g, Identyfikator_o, Nr_pokoju, Od, \"Do\", "
             "Pelne_dane, Wykwaterowany) VALUES (?, ?, ?, ?, ?, 1, ?)",
             {group, person, room, od, to, checkedOut ? 1 : 0});
}
