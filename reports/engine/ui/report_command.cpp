#include "reports/engine/ui/report_command.h"

#include "core/ui/modal.h"
#include "reports/engine/ui/parameter_window.h"

namespace {
void showFailure(const LaunchResult& result, const QString& caption, Prompter::Icon icon) {
    if (!result.ok && !result.message.isEmpty())
        prompter().message(result.message, caption, icon);
}
} // namespace

void runOnce(TFormParametry& window, const ReportCheck& check, const ReportStep& step,
             const QString& errorCaption, Prompter::Icon icon) {
    while (runModal(window) == QDialog::Accepted) {
        if (check) {
            const QString message = check();
            if (!message.isEmpty()) {
                prompter().message(message, errorCaption, icon);
                continue;
            }
        }
        const LaunchResult result = step(window.mode());
        if (result.ok)
            return;
        showFailure(result, errorCaption, icon);
    }
}

void runRepeated(TFormParametry& window, const ReportStep& step, const QString& errorCaption,
                 Prompter::Icon icon) {
    while (runModal(window) == QDialog::Accepted)
        showFailure(step(window.mode()), errorCaption, icon);
}

void runDirect(const ReportStep& step, const QString& errorCaption, Prompter::Icon icon) {
    showFailure(step(ReportOutput::Preview), errorCaption, icon);
}
