#pragma once

#include "core/prompter.h"
#include "reports/engine/report_output.h"

#include <QString>

#include <functional>

class TFormParametry;

// The three ways a menu command runs a report. A report's wiring supplies its
// parameter window, its checks and its report step (a launcher call with the
// window's values); the protocol shows the messages under the command's error
// caption and icon.

// A command's data check after the window closed with OK: the no-data message,
// or an empty text when there is something to print.
using ReportCheck = std::function<QString()>;
// The report step: the launcher, run with the window's chosen mode.
using ReportStep = std::function<LaunchResult(ReportOutput)>;

// Once: show the window; Cancel ends; a failed check or a failed step shows its
// message and shows the same window again (its values intact); success ends.
void runOnce(TFormParametry& window, const ReportCheck& check, const ReportStep& step,
             const QString& errorCaption, Prompter::Icon icon);

// Repeated: every OK runs the step (showing its failure message, if any) and
// shows the window again, until it closes with Cancel.
void runRepeated(TFormParametry& window, const ReportStep& step, const QString& errorCaption,
                 Prompter::Icon icon);

// Direct: no window; the step runs in preview mode and its failure message,
// if any, is shown.
void runDirect(const ReportStep& step, const QString& errorCaption, Prompter::Icon icon);
