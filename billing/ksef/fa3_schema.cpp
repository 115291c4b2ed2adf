// Validation of a document against the official FA(3) schema set, offline:
// the set's imports name files on the ministry's server; they are read from
// the same folder (or where its catalog.xml maps them). The network is never
// used.

#include "billing/ksef/fa3.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <libxml/catalog.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemas.h>
#include <memory>

namespace {
#if LIBXML_VERSION >= 21200
using XmlError = const xmlError*;
#else
using XmlError = xmlErrorPtr;
#endif

// The element's path below the root, as the structure names fields.
QString nodePath(xmlNodePtr node)
{
    QStringList names;
    for (xmlNodePtr n = node; n && n->type == XML_ELEMENT_NODE; n = n->parent)
        names.prepend(QString::fromUtf8(reinterpret_cast<const char*>(n->name)));
    if (names.size() > 1)
        names.removeFirst();
    return names.join(QLatin1Char('/'));
}

void collect(void* target, XmlError error)
{
    if (!error || error->level < XML_ERR_ERROR)
        return;
    auto* problems = static_cast<QList<Fa3Problem>*>(target);
    const QString field =
        error->node && static_cast<xmlNodePtr>(error->node)->type == XML_ELEMENT_NODE
            ? nodePath(static_cast<xmlNodePtr>(error->node))
            : QStringLiteral("Faktura");
    const QString message = QString::fromUtf8(error->message ? error->message : "").trimmed();
    *problems << Fa3Problem{field, QStringLiteral("niezgodne ze schematem FA(3) (wiersz %1): %2")
                                       .arg(error->line)
                                       .arg(message)};
}

// The folder whose schema is being read; an import that names a file on the
// ministry's server is read from this folder when it holds a file of that name.
QString& schemaFolder()
{
    static QString folder;
    return folder;
}

xmlParserInputPtr localLoader(const char* url, const char* id, xmlParserCtxtPtr context)
{
    const QString address = QString::fromUtf8(url ? url : "");
    if (address.startsWith(QLatin1String("http://")) ||
        address.startsWith(QLatin1String("https://"))) {
        const QString local =
            QDir(schemaFolder()).absoluteFilePath(address.section(QLatin1Char('/'), -1));
        if (!schemaFolder().isEmpty() && QFileInfo(local).isFile())
            return xmlNoNetExternalEntityLoader(QFile::encodeName(local).constData(), id, context);
    }
    // Anything else through the catalogs, never over the network.
    return xmlNoNetExternalEntityLoader(url, id, context);
}

// Once per process: the loader above for every file libxml2 loads, and each
// folder's catalog loaded the first time the folder is used.
void prepare(const QString& folder)
{
    static bool ready = false;
    if (!ready) {
        xmlInitParser();
        xmlSetExternalEntityLoader(localLoader);
        ready = true;
    }
    schemaFolder() = QDir(folder).absolutePath();
    static QSet<QString> catalogs;
    const QString catalog = QDir(folder).absoluteFilePath(QStringLiteral("catalog.xml"));
    if (!catalogs.contains(catalog) && QFileInfo::exists(catalog)) {
        xmlLoadCatalog(QFile::encodeName(catalog).constData());
        catalogs.insert(catalog);
    }
}

struct SchemaDeleter {
    void operator()(xmlSchemaPtr s) const { xmlSchemaFree(s); }
    void operator()(xmlSchemaParserCtxtPtr c) const { xmlSchemaFreeParserCtxt(c); }
    void operator()(xmlSchemaValidCtxtPtr c) const { xmlSchemaFreeValidCtxt(c); }
    void operator()(xmlDocPtr d) const { xmlFreeDoc(d); }
};
template <typename T> using Owned = std::unique_ptr<std::remove_pointer_t<T>, SchemaDeleter>;
} // namespace

QList<Fa3Problem> validateFa3Schema(const QByteArray& document, const QString& folder)
{
    const QString xsd = QDir(folder).absoluteFilePath(QStringLiteral("schemat.xsd"));
    if (folder.trimmed().isEmpty() || !QFileInfo::exists(xsd))
        throw RezydoError(
            QStringLiteral("W folderze „%1” nie ma schematu FA(3) (pliku schemat.xsd).")
                .arg(QDir::toNativeSeparators(folder)));
    prepare(folder);

    QList<Fa3Problem> schemaErrors;
    Owned<xmlSchemaParserCtxtPtr> parser(
        xmlSchemaNewParserCtxt(QFile::encodeName(xsd).constData()));
    xmlSchemaSetParserStructuredErrors(parser.get(), collect, &schemaErrors);
    Owned<xmlSchemaPtr> schema(parser ? xmlSchemaParse(parser.get()) : nullptr);
    if (!schema) {
        QStringList why;
        for (const Fa3Problem& p : schemaErrors)
            why << p.message;
        throw RezydoError(QStringLiteral("Schematu FA(3) z folderu „%1” nie da się wczytać. %2")
                              .arg(QDir::toNativeSeparators(folder), why.join(QLatin1Char(' '))));
    }

    QList<Fa3Problem> problems;
    xmlSetStructuredErrorFunc(&problems, collect);
    Owned<xmlDocPtr> doc(xmlReadMemory(document.constData(), int(document.size()), "faktura.xml",
                                       nullptr, XML_PARSE_NONET));
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!doc) {
        if (problems.isEmpty())
            problems << Fa3Problem{QStringLiteral("Faktura"),
                                   QStringLiteral("dokument nie jest poprawnym XML.")};
        return problems;
    }
    Owned<xmlSchemaValidCtxtPtr> validator(xmlSchemaNewValidCtxt(schema.get()));
    xmlSchemaSetValidStructuredErrors(validator.get(), collect, &problems);
    const int result = xmlSchemaValidateDoc(validator.get(), doc.get());
    if (result != 0 && problems.isEmpty())
        problems << Fa3Problem{QStringLiteral("Faktura"),
                               QStringLiteral("dokument jest niezgodny ze schematem FA(3).")};
    return problems;
}
