#include "reports/engine/ui/preview_provider.h"

#include "reports/engine/generator.h"
#include "reports/engine/ui/preview_window.h"
#include "reports/engine/ui/printing.h"

#include <QEventLoop>

namespace {
std::function<void(TFormPodglad&)>& shownHook() {
    static std::function<void(TFormPodglad&)> hook;
    return hook;
}

void showWindow(TFormPodglad& window) {
    window.showMaximized();
    if (shownHook())
        shownHook()(window);
}
} // namespace

void TMDIPodglad::setShownHook(std::function<void(TFormPodglad&)> hook) {
    shownHook() = std::move(hook);
}

RunResult TMDIPodglad::previewModal(Report& report) {
    TFormPodglad window(report);
    window.setWindowModality(Qt::ApplicationModal);
    showWindow(window);
    const RunResult result = window.isClosed() ? RunResult::Interrupted : window.generate();
    if (!window.isClosed()) {
        QEventLoop loop;
        QObject::connect(&window, &TFormPodglad::closed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return result;
}

void TMDIPodglad::preview(std::shared_ptr<Report> report) {
    auto* window = new TFormPodglad(*report);
    // The window keeps the report alive and goes once it is closed and no
    // longer laying pages out.
    QObject::connect(window, &TFormPodglad::closed, window, [window, report] {
        if (!window->isGenerating())
            window->deleteLater();
    });
    showWindow(*window);
    if (window->isClosed())
        return;
    window->generate();
    if (window->isClosed())
        window->deleteLater();
}

RunResult TMDIPodglad::print(Report& report) {
    printOrSave(generateDocument(report));
    return RunResult::Completed;
}
