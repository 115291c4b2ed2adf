#include "core/prompter.h"

namespace {
class SilentPrompter final : public Prompter {
public:
    bool ask(const QString&, const QString&, bool) override { return false; }
    void message(const QString&, const QString&, Icon) override {}
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    QString openFile(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFile(const QString&, const QString&, const QString&, const QString&, const QString&,
                     Existing) override
    {
        return {};
    }
};

std::unique_ptr<Prompter>& slot()
{
    static std::unique_ptr<Prompter> current = std::make_unique<SilentPrompter>();
    return current;
}
} // namespace

Prompter& prompter()
{
    return *slot();
}

std::unique_ptr<Prompter> installPrompter(std::unique_ptr<Prompter> p)
{
    if (!p)
        p = std::make_unique<SilentPrompter>();
    std::unique_ptr<Prompter> previous = std::move(slot());
    slot() = std::move(p);
    return previous;
}
