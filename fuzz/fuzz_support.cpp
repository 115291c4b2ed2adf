#include "fuzz/fuzz_support.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

QString fuzzText(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void fuzzCheck(bool holds, const char* property, const QString& input)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\ninput: \"%s\"\n", property,
                 input.toUtf8().toPercentEncoding(" ,.-+*'=[]_:").constData());
    std::abort();
}

void fuzzApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "rezydo-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}
