#pragma once

#include "reports/engine/report_output.h"

#include <functional>

class TFormPodglad;

// The preview provider of the program: every preview is a TFormPodglad, and
// print mode goes to the printer factory. The main window installs it once.
class TMDIPodglad final : public ReportPresenter {
public:
    RunResult previewModal(Report& report) override;
    void preview(std::shared_ptr<Report> report) override;
    RunResult print(Report& report) override;

    // Runs for every preview window right after it is shown and before its
    // pages are made; tests drive the window from here.
    static void setShownHook(std::function<void(TFormPodglad&)> hook);
};
