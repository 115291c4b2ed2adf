#include "core/error.h"

#include "core/program_dir.h"
#include "core/prompter.h"

bool guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const RezydoError& e) {
        prompter().error(e.text(), kProgramName);
    } catch (const std::exception& e) {
        prompter().error(QString::fromLocal8Bit(e.what()), kProgramName);
    } catch (...) {
        prompter().error(QStringLiteral("Nieznany błąd programu."), kProgramName);
    }
    return false;
}
