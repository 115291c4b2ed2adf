#include "app/commands.h"
#include "billing/ksef/fa3.h"
#include "billing/ksef/ksef_record.h"
#include "core/clock.h"

// The structured document of an invoice as exported: built, checked by the
// program, and validated against the official schema set when the hotel has
// put it in the folder named in the settings.
void installKsefDocumentBuilder()
{
    setKsefDocumentBuilder([](QSqlDatabase db, int groupId, std::optional<qint64> correctionId,
                              const QString& correctedKsefNumber) {
        const Fa3Context context{now().toUTC(), correctedKsefNumber};
        const QByteArray bytes = correctionId ? fa3Correction(db, *correctionId, context)
                                              : fa3Invoice(db, groupId, context);
        const QString folder = fa3SchemaFolder();
        if (!folder.isEmpty()) {
            const QList<Fa3Problem> problems = validateFa3Schema(bytes, folder);
            if (!problems.isEmpty())
                throw Fa3Error(problems);
        }
        return bytes;
    });
}
